#include "folderlock.h"

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

FolderLock::FolderLock(const QString &folder)
    : m_path(QDir(folder).filePath(QStringLiteral(".slots.lock")))
{}

std::optional<FolderLock::Failure> FolderLock::take(int slot)
{
    const QDeadlineTimer deadline(kLockWaitMs);
    for (;;) {
        const files::FileLock::Attempt attempt = m_lock.tryLock(m_path);
        if (attempt.state == files::FileLock::Taken)
            return std::nullopt;
        if (attempt.state == files::FileLock::Failed)
            return Failure{{slot, m_path, attempt.reason}, false};
        if (deadline.hasExpired())
            return Failure{
                {slot, m_path,
                 SlotTexts::tr("Another copy of the program is saving a slot; try again in a "
                               "moment.")},
                true};
        QThread::msleep(kLookMs);
    }
}

} // namespace name_slots
