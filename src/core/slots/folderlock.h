#pragma once

// The slot folder's lock, ".slots.lock", which keeps two running copies of
// the program from saving, or finishing a save, at the same time.

#include "slotstore.h"

#include <QLockFile>
#include <optional>

namespace name_slots {

class FolderLock
{
    Q_DECLARE_TR_FUNCTIONS(name_slots::FolderLock)

public:
    struct Failure
    {
        FileProblem problem;    // names the lock file, with the reason
        bool heldByAnotherCopy; // a running copy holds it still
    };

    explicit FolderLock(const QString &folder);

    // Takes the lock. A running copy's lock is waited for a few seconds; a
    // lock that no running copy holds (left by a crash, whatever its size or
    // owner) is taken over where it can be removed.
    std::optional<Failure> take(int slot);

    const QString &path() const { return m_path; }

private:
    QString m_path;
    QLockFile m_lock;
};

} // namespace name_slots
