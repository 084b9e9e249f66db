#pragma once

// The slot folder's lock, ".slots.lock", which keeps two running copies of
// the program from saving into one slot folder, or finishing a save there,
// at the same time. The lock file is made once and never removed; the
// system frees the lock when its holder ends, however it ends.

#include "files/systemfile.h"
#include "slotresults.h"

namespace name_slots {

QString lockPath(const QString &folder);

// Why the lock could not be taken: the lock file named where it is there,
// and otherwise the folder that cannot hold one.
FileProblem lockProblem(const QString &folder, int slot, const QString &reason);

// Takes the folder's lock, waiting a few seconds for a running copy that
// holds it; the program's windows paint meanwhile.
FileProblem lockFolder(files::FileLock &lock, const QString &folder, int slot);

} // namespace name_slots
