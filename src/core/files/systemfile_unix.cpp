// The file system's calls on Linux and other Unix systems.

#include "systemfile.h"
#include "systemfile_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {
namespace {

// Closes fd when it goes out of scope, keeping errno as it was.
struct Descriptor
{
    int fd;
    ~Descriptor()
    {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        errno = error;
    }
};

QByteArray name(const QString &path)
{
    return QFile::encodeName(path);
}

// Reads up to limit + 1 bytes: a file that grew since its size was taken is
// still refused rather than cut short.
FileBytes readAll(int fd, qint64 limit)
{
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return refused(errorText(errno));
        if (n == 0)
            return {true, std::move(bytes), QString()};
        bytes.append(buffer, n);
        if (bytes.size() > limit)
            return refused(texts::tooLarge(limit));
    }
}

} // namespace

FileBytes loadFileBytes(const QString &path, qint64 limit, Links links)
{
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (links == Links::Refuse ? O_NOFOLLOW : 0);
    const Descriptor file{::open(name(path).constData(), flags)};
    if (file.fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            return QFileInfo(path).isSymLink() ? refused(texts::linkToNothing()) : FileBytes{};
        // With links refused, ELOOP says the file is one; else, a loop.
        if (error == ELOOP)
            return refused(links == Links::Refuse ? texts::isALink() : texts::linkToNothing());
        return refused(errorText(error));
    }
    struct stat status = {};
    if (::fstat(file.fd, &status) != 0)
        return refused(errorText(errno));
    if (S_ISDIR(status.st_mode))
        return refused(texts::folderInPlace());
    if (!S_ISREG(status.st_mode))
        return refused(texts::notRegular());
    if (status.st_size > limit)
        return refused(texts::tooLarge(limit));
    return readAll(file.fd, limit);
}

// Made its owner's alone, then given the group and mode of the file it
// replaces before the first byte, as QSaveFile does; a file with none to
// replace is made 0666 for the system to take the umask away. The system's
// own calls give a full disk or a size limit its own reason.
FileResult writeNewFile(const QString &path, QByteArrayView bytes,
                        const std::optional<QString> &like)
{
    struct stat model = {};
    const bool modelled = like && ::stat(name(*like).constData(), &model) == 0;
    const QByteArray file = name(path);
    const Descriptor out{::open(file.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                like && !modelled ? 0666 : 0600)};
    if (out.fd < 0)
        return {errorText(errno)};
    const auto failed = [&](int error) {
        ::unlink(file.constData());
        return FileResult{errorText(error)};
    };
    // A group the user is no member of stays the user's own. Only the
    // permission bits are kept: a user's first write clears set-ID bits.
    if (modelled && ::fchown(out.fd, uid_t(-1), model.st_gid) != 0 && errno != EPERM)
        return failed(errno);
    if (modelled && ::fchmod(out.fd, model.st_mode & 0777) != 0)
        return failed(errno);
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t n = ::write(out.fd, bytes.data() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return failed(n < 0 ? errno : ENOSPC);
        written += n;
    }
    if (::fsync(out.fd) != 0)
        return failed(errno);
    return {};
}

FileResult moveFile(const QString &from, const QString &to)
{
    if (::rename(name(from).constData(), name(to).constData()) != 0)
        return {errorText(errno)};
    return {};
}

FileResult removeFile(const QString &path)
{
    if (::unlink(name(path).constData()) != 0)
        return {errorText(errno)};
    return {};
}

FileResult syncFolder(const QString &folder)
{
    const Descriptor dir{::open(name(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd < 0 || ::fsync(dir.fd) != 0)
        return {errorText(errno)};
    return {};
}

FileLock::~FileLock()
{
    // Closing the file frees its lock; the file itself stays for the next
    // holder, so that no one ever locks a file that another has removed.
    if (m_handle >= 0)
        ::close(int(m_handle));
}

FileLock::Attempt FileLock::tryLock(const QString &path)
{
    const QByteArray file = name(path);
    constexpr int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::open(file.constData(), O_RDWR | O_CREAT | flags, 0600);
    int error = errno;
    // A lock needs no writing: a lock file the user may only read serves.
    if (fd < 0 && (error == EACCES || error == EPERM || error == EROFS)) {
        fd = ::open(file.constData(), O_RDONLY | flags);
        error = fd < 0 && errno != ENOENT ? errno : error;
    }
    if (fd < 0 && error == ELOOP)
        return {Failed, texts::isALink()};
    if (fd < 0 && error == EACCES && isThere(path))
        return {Failed, QCoreApplication::translate("files", "%1. Removing the lock file clears "
                                                             "this: the program makes it anew.")
                            .arg(errorText(error))};
    if (fd < 0)
        return {Failed, errorText(error)};
    Descriptor opened{fd};
    // EWOULDBLOCK: another holds it. A file system without locks (NFS
    // without its lock daemon): saves go on unlocked rather than never.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno != ENOLCK && errno != EOPNOTSUPP &&
        errno != ENOSYS) {
        error = errno;
        return error == EWOULDBLOCK ? Attempt{Held, QString()} : Attempt{Failed, errorText(error)};
    }
    m_handle = std::exchange(opened.fd, -1);
    return {Taken, QString()};
}

UserFolders userFolders(const QString &organization, const QString &application)
{
    // A relative XDG_DATA_HOME is ignored, as the XDG base directory rules
    // say: it would put the slots wherever the program was started from.
    const QByteArray raw = qgetenv("XDG_DATA_HOME");
    QString dataHome = QFile::decodeName(raw);
    QString problem;
    if (QDir::isRelativePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    else if (QFile::encodeName(dataHome) != raw)
        problem = QCoreApplication::translate(
            "files", "Its name is not valid in the system's encoding of file names, so the "
                     "program cannot name it to the system. Set XDG_DATA_HOME to a folder "
                     "whose name is.");
    return {QStringLiteral("%1/%2/%3").arg(dataHome, organization, application), QString(),
            problem};
}

} // namespace files
