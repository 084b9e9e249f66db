#include "textfile.h"

#include "codepage.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QDir>
#include <io.h>
#include <windows.h>
#endif

namespace unicode_text {
namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
constexpr QByteArrayView kUtf16LeBom("\xFF\xFE");
constexpr QByteArrayView kUtf16BeBom("\xFE\xFF");

TextFileResult failure(const QString &reason)
{
    return {QString(), reason};
}

// UTF-16 files may hold unpaired surrogates; they become U+FFFD so that
// every decoded text can be saved as UTF-8 and read back identical.
QString withoutLoneSurrogates(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

// Decodes bytes whose byte order mark, if any, has been taken off already: a
// U+FEFF that follows is part of the text, not a second mark to drop.
QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless |
                                         QStringConverter::Flag::ConvertInitialBom);
    return withoutLoneSurrogates(decoder.decode(bytes));
}

QString tooLarge()
{
    return QCoreApplication::translate("unicode_text",
                                       "It is larger than 1 MiB, too large for a name.");
}

// Puts the file's data on the disk itself, not just in the system's cache.
bool syncToDisk(QFileDevice &file)
{
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    return ::_commit(file.handle()) == 0;
#endif
}

} // namespace

QString decodeText(QByteArrayView bytes)
{
    if (bytes.startsWith(kUtf8Bom))
        return decodeWith(QStringConverter::Utf8, bytes.sliced(kUtf8Bom.size()));
    if (bytes.startsWith(kUtf16LeBom))
        return decodeWith(QStringConverter::Utf16LE, bytes.sliced(kUtf16LeBom.size()));
    if (bytes.startsWith(kUtf16BeBom))
        return decodeWith(QStringConverter::Utf16BE, bytes.sliced(kUtf16BeBom.size()));

    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? decodeWindows1252(bytes) : text;
}

QByteArray encodeText(QStringView text)
{
    QByteArray bytes = text.toUtf8();
    // A text that itself begins with U+FEFF would lose it to the reader,
    // which takes a leading EF BB BF for a byte order mark: write one.
    if (text.startsWith(QChar(QChar::ByteOrderMark)))
        bytes.prepend(kUtf8Bom.data(), kUtf8Bom.size());
    return bytes;
}

namespace {

QString notRegular()
{
    return QCoreApplication::translate("unicode_text", "It is not a regular file.");
}

QString folderInPlace()
{
    return QCoreApplication::translate("unicode_text", "It is a folder, not a file.");
}

QString brokenLink()
{
    return QCoreApplication::translate("unicode_text", "It is a link that leads to no file.");
}

// Why a path cannot be used as a slot file, from what is there now: empty
// when it is a regular file, a link to one, or nothing at all.
QString pathProblem(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() && !info.exists())
        return brokenLink();
    if (!info.exists())
        return QString();
    if (info.isDir())
        return folderInPlace();
    return info.isFile() ? QString() : notRegular();
}

FileBytes refused(const QString &reason)
{
    return {true, QByteArray(), reason};
}

FileBytes readOpened(QFile &file, qint64 size)
{
    if (size > kMaxTextFileBytes)
        return refused(tooLarge());
    // Read one byte past the limit: a file that grew since its size was
    // taken is still refused rather than cut short.
    QByteArray bytes = file.read(kMaxTextFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(file.errorString());
    if (bytes.size() > kMaxTextFileBytes)
        return refused(tooLarge());
    return {true, std::move(bytes), QString()};
}

} // namespace

#ifdef Q_OS_UNIX
// The file is opened without blocking, so a FIFO put in its place since any
// earlier look cannot freeze the program, and what was opened is checked,
// not the path.
FileBytes loadFileBytes(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            return QFileInfo(path).isSymLink() ? refused(brokenLink()) : FileBytes{};
        return refused(error == ELOOP ? brokenLink() : qt_error_string(error));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refused(file.errorString());
    }
    struct stat status = {};
    if (::fstat(fd, &status) != 0)
        return refused(qt_error_string(errno));
    if (S_ISDIR(status.st_mode))
        return refused(folderInPlace());
    if (!S_ISREG(status.st_mode))
        return refused(notRegular());
    return readOpened(file, status.st_size);
}
#else
FileBytes loadFileBytes(const QString &path)
{
    if (const QString problem = pathProblem(path); !problem.isEmpty())
        return refused(problem);
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(file.errorString());
    return readOpened(file, info.size());
}
#endif

TextFileResult loadTextFile(const QString &path)
{
    const FileBytes read = loadFileBytes(path);
    return read.ok() ? TextFileResult{decodeText(read.bytes), QString()} : failure(read.error);
}

QString replacedFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
}

// Whatever loading refuses is never replaced either: a link to a device or a
// FIFO would otherwise have its target replaced by a regular file.
QString whyNotReplaceable(const QString &path)
{
    if (const QString problem = pathProblem(path); !problem.isEmpty())
        return problem;
    const QFileInfo old(path);
    if (old.exists() && !old.isWritable())
        return QCoreApplication::translate("unicode_text", "It is read-only.");
    return QString();
}

// Every step is checked. A text small enough to stay in the write buffer
// reaches the file only when the buffer is flushed, so a full disk or a file
// size limit shows only there or in the sync.
TextFileResult writeNewFile(const QString &path, QByteArrayView bytes,
                            std::optional<QFileDevice::Permissions> permissions)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return failure(file.errorString());
    QString reason;
    if (file.write(bytes.data(), bytes.size()) != bytes.size() || !file.flush())
        reason = file.errorString();
    else if (!syncToDisk(file))
        reason = qt_error_string(errno);
    else if (permissions && !file.setPermissions(*permissions))
        reason = file.errorString();
    file.close();
    if (reason.isNull() && file.error() != QFileDevice::NoError)
        reason = file.errorString();
    if (reason.isNull())
        return {};
    QFile::remove(path);
    return failure(reason);
}

TextFileResult moveFile(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    if (!MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
                     reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return failure(qt_error_string(int(GetLastError())));
#else
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return failure(qt_error_string(errno));
#endif
    return {};
}

TextFileResult syncFolder(const QString &folder)
{
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return failure(qt_error_string(errno));
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!synced)
        return failure(qt_error_string(error));
#else
    Q_UNUSED(folder);
#endif
    return {};
}

} // namespace unicode_text
