#include "folderlock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

namespace name_slots {
namespace {

// How long a save waits for another running copy's save to end, and how
// often it looks.
constexpr int kLockWaitMs = 3000;
constexpr int kLookMs = 50;

} // namespace

QString lockPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral(".slots.lock"));
}

FileProblem lockProblem(const QString &folder, int slot, const QString &reason)
{
    const QString lock = lockPath(folder);
    return {slot, files::isThere(lock) ? lock : folder, reason};
}

FileProblem lockFolder(files::FileLock &lock, const QString &folder, int slot)
{
    const QDeadlineTimer deadline(kLockWaitMs);
    for (;;) {
        const files::FileLock::Attempt attempt = lock.tryLock(lockPath(folder));
        if (attempt.state == files::FileLock::Taken)
            return {};
        if (attempt.state == files::FileLock::Failed)
            return lockProblem(folder, slot, attempt.reason);
        if (deadline.hasExpired())
            return {slot, lockPath(folder),
                    SlotTexts::tr("Another copy of the program is saving a slot; try again in a "
                                  "moment.")};
        QThread::msleep(kLookMs);
        // The windows paint while the save waits; what the user types waits too.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

} // namespace name_slots
