// The file system's calls on Windows.

#include "systemfile.h"
#include "systemfile_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <memory>
#include <windows.h>

namespace files {
namespace {

std::wstring name(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

FileResult lastError()
{
    return {errorText(int(GetLastError()))};
}

} // namespace

// Opened once, then the handle is asked what it is, so that nothing can be
// put in the file's place between a look and the read. Where links are
// refused, the link itself is opened, and told as a link.
FileBytes loadFileBytes(const QString &path, qint64 limit, Links links)
{
    const HANDLE file = CreateFileW(
        name(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | (links == Links::Refuse ? FILE_FLAG_OPEN_REPARSE_POINT : 0),
        nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return isThere(path) ? refused(texts::linkToNothing()) : FileBytes{};
        return refused(errorText(int(error)));
    }
    const std::unique_ptr<void, decltype(&CloseHandle)> closing(file, &CloseHandle);
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(file, &info))
        return refused(lastError().error);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return refused(texts::isALink());
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return refused(texts::folderInPlace());
    if (GetFileType(file) != FILE_TYPE_DISK)
        return refused(texts::notRegular());
    if ((qint64(info.nFileSizeHigh) << 32 | info.nFileSizeLow) > limit)
        return refused(texts::tooLarge(limit));
    // Up to limit + 1 bytes: a file that grew since is refused, not cut short.
    QByteArray bytes(limit + 1, Qt::Uninitialized);
    qint64 read = 0;
    for (DWORD n = 1; n > 0 && read < bytes.size(); read += n)
        if (!ReadFile(file, bytes.data() + read, DWORD(bytes.size() - read), &n, nullptr))
            return refused(lastError().error);
    if (read > limit)
        return refused(texts::tooLarge(limit));
    bytes.truncate(read);
    return {true, std::move(bytes), QString()};
}

// The program's own files (the journal) are hidden in Explorer, as a
// leading dot hides them elsewhere; files take their folder's access rules.
FileResult writeNewFile(const QString &path, QByteArrayView bytes,
                        const std::optional<QString> &like)
{
    const std::wstring file = name(path);
    const HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   like ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return lastError();
    DWORD written = 0;
    const bool ok = WriteFile(out, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                    written == DWORD(bytes.size()) && FlushFileBuffers(out);
    const FileResult result = ok ? FileResult{} : lastError();
    CloseHandle(out);
    if (!ok)
        DeleteFileW(file.c_str());
    return result;
}

// A file that is there is replaced with ReplaceFileW, which keeps its
// security descriptor; what the user set on it (hidden, say) is carried
// over first, as Wine's ReplaceFileW does not.
FileResult moveFile(const QString &from, const QString &to)
{
    const DWORD attributes = GetFileAttributesW(name(to).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return MoveFileExW(name(from).c_str(), name(to).c_str(), MOVEFILE_WRITE_THROUGH)
                   ? FileResult{}
                   : lastError();
    // Wine's ReplaceFileW would move a folder aside and put the file in its place.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return {texts::folderInPlace()};
    // One held open without delete sharing (by a scanner, an editor) is told
    // before ReplaceFileW tries: Wine's leaves a file of its own.
    const HANDLE held = CreateFileW(name(to).c_str(), DELETE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (held == INVALID_HANDLE_VALUE)
        return lastError();
    CloseHandle(held);
    const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (!SetFileAttributesW(name(from).c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL))
        return lastError();
    return ReplaceFileW(name(to).c_str(), name(from).c_str(), nullptr,
                        REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
               ? FileResult{}
               : lastError();
}

FileResult removeFile(const QString &path)
{
    if (!DeleteFileW(name(path).c_str()))
        return lastError();
    return {};
}

// A folder's entries reach the disk when a handle to it, open for writing,
// is flushed. Where the system allows no such handle (a standard user on
// some file systems), only MOVEFILE_WRITE_THROUGH stands for it.
FileResult syncFolder(const QString &folder)
{
    const HANDLE dir = CreateFileW(name(folder).c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (dir == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_ACCESS_DENIED ? FileResult{} : lastError();
    const FileResult result = FlushFileBuffers(dir) ? FileResult{} : lastError();
    CloseHandle(dir);
    return result;
}

FileLock::~FileLock()
{
    if (m_handle != -1)
        CloseHandle(HANDLE(m_handle));
}

// The lock is a byte range locked with LockFileEx, which Windows frees when
// its process ends. The file is shared for reading, writing and deleting, and
// a lock needs no writing: a file that is read-only, or read by a program
// that shares only reading, serves opened for reading.
FileLock::Attempt FileLock::tryLock(const QString &path)
{
    const auto open = [&](DWORD access, DWORD disposition) {
        return CreateFileW(name(path).c_str(), access,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           disposition, FILE_ATTRIBUTE_HIDDEN, nullptr);
    };
    HANDLE file = open(GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    const DWORD error = GetLastError(); // the reason told, where neither opens
    if (file == INVALID_HANDLE_VALUE)
        file = open(GENERIC_READ, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) {
        if (error == ERROR_SHARING_VIOLATION)
            return {Failed, QCoreApplication::translate("files", "It is open in another program.")};
        return {Failed, errorText(int(error))};
    }
    OVERLAPPED start = {};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start)) {
        const DWORD error = GetLastError();
        CloseHandle(file);
        return error == ERROR_LOCK_VIOLATION ? Attempt{Held, QString()}
                                             : Attempt{Failed, errorText(int(error))};
    }
    m_handle = qintptr(file);
    return {Taken, QString()};
}

UserFolders userFolders(const QString &, const QString &)
{
    // Standard accounts cannot create files at the root of C:, where
    // earlier versions kept the slots; those files are still read.
    return {QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
            QStringLiteral("C:/"), QString()};
}

} // namespace files
