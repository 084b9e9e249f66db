#include "folderlock.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <windows.h>
#endif

namespace name_slots {
namespace {

// How long a save waits for another running copy's save to end.
constexpr int kLockWaitMs = 3000;
// A running copy locks its lock file a moment after making it: a lock file
// found unlocked at two looks this far apart is no running copy's.
constexpr int kSecondLookMs = 100;
constexpr int kRunningLookMs = 50;

// What a look at a lock file that Qt could not take found.
struct Look
{
    enum State { Running, Unheld, Removed };
    State state = Removed;
    QString error; // why an unheld lock could not be removed
};

#ifdef Q_OS_UNIX
// A running copy holds its lock file's descriptor locked (flock) for as long
// as it holds the lock. An unheld one is removed while this look holds it
// locked, so that two copies cannot both take over the same file.
Look lookAt(const QString &path, bool secondLook)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT)
        return {};
    // A link, or another user's file this user cannot read, is no lock
    // that a running copy holds.
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return {Look::Running, QString()};
    }
    Look look{Look::Unheld, QString()};
    if (secondLook) {
        struct stat opened = {}, there = {};
        const bool same =
            fd < 0 || (::fstat(fd, &opened) == 0 && ::lstat(name.constData(), &there) == 0 &&
                       opened.st_dev == there.st_dev && opened.st_ino == there.st_ino);
        if (same && ::unlink(name.constData()) != 0 && errno != ENOENT)
            look.error = qt_error_string(errno);
        look.state = Look::Removed;
    }
    if (fd >= 0)
        ::close(fd);
    return look;
}
#else
// A running copy keeps its lock file open without delete sharing: removing
// it fails for as long as it holds the lock.
Look lookAt(const QString &path, bool)
{
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    if (DeleteFileW(name.c_str()))
        return {};
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION)
        return {Look::Running, QString()};
    if (error == ERROR_FILE_NOT_FOUND)
        return {};
    return {Look::Removed, qt_error_string(int(error))};
}
#endif

// Why no lock file can be made: what the system says when the lock file
// itself is made and written.
QString whyLockFails(const QString &path)
{
    QFile probe(path);
    if (QFileInfo(path).exists() || QFileInfo(path).isSymLink())
        return FolderLock::tr("The lock file could not be made.");
    if (!probe.open(QIODevice::ReadWrite | QIODevice::NewOnly))
        return probe.errorString();
    QString reason;
    if (probe.write("x", 1) != 1 || !probe.flush())
        reason = probe.errorString();
    probe.close();
    probe.remove();
    return reason.isEmpty() ? FolderLock::tr("The lock file could not be made.") : reason;
}

} // namespace

FolderLock::FolderLock(const QString &folder)
    : m_path(QDir(folder).filePath(QStringLiteral(".slots.lock"))), m_lock(m_path)
{}

std::optional<FolderLock::Failure> FolderLock::take(int slot)
{
    const auto failure = [&](const QString &reason, bool running = false) {
        return Failure{{slot, m_path, reason}, running};
    };
    if (QFileInfo(m_path).isDir())
        return failure(tr("It is a folder, not a file."));
    const QDeadlineTimer deadline(kLockWaitMs);
    bool unheldBefore = false;
    for (;;) {
        if (m_lock.tryLock(0))
            return std::nullopt;
        if (m_lock.error() != QLockFile::LockFailedError)
            return failure(whyLockFails(m_path));
        const Look look = lookAt(m_path, unheldBefore);
        if (!look.error.isNull())
            return failure(look.error);
        unheldBefore = look.state == Look::Unheld;
        if (look.state == Look::Running) {
            if (deadline.hasExpired())
                return failure(
                    tr("Another copy of the program is saving a slot; try again in a moment."),
                    true);
            QThread::msleep(kRunningLookMs);
        } else if (look.state == Look::Unheld) {
            QThread::msleep(kSecondLookMs);
        }
    }
}

} // namespace name_slots
