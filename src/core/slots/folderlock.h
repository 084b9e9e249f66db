#pragma once

// The slot folder's lock, ".slots.lock", which keeps two running copies of
// the program from saving, or finishing a save, at the same time.

#include "files/systemfile.h"
#include "slotresults.h"

#include <optional>

namespace name_slots {

class FolderLock
{
public:
    struct Failure
    {
        FileProblem problem;    // names the lock file, with the reason
        bool heldByAnotherCopy; // a running copy holds it still
    };

    explicit FolderLock(const QString &folder);

    // Takes the lock, waiting a few seconds for a running copy that holds
    // it. The lock file is made once and never removed; the system frees
    // the lock when its holder ends, however it ends, so no lock goes stale.
    std::optional<Failure> take(int slot);

private:
    QString m_path;
    files::FileLock m_lock;
};

} // namespace name_slots
