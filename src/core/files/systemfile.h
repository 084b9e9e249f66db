#pragma once

// The file system's calls that the slots need, each checked, with the
// system's reason where one fails. The platform's own calls live in
// systemfile_unix.cpp and systemfile_win.cpp.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace files {

// A step's result: ok while its reason, in words the user can read, is
// null; the slots' own results follow the same rule.
struct [[nodiscard]] FileResult
{
    QString error;
    bool ok() const { return error.isNull(); }
};

// What a file holds, read whole: nothing where no file exists.
struct [[nodiscard]] FileBytes
{
    bool exists = false;
    QByteArray bytes;
    QString error;
    bool ok() const { return error.isNull(); }
};

enum class Links { Follow, Refuse };

// Reads the file at path, through a link unless refused. Anything but a
// regular file, and a file over limit bytes, is refused; opening never
// blocks, and what was opened is checked, not the path.
FileBytes loadFileBytes(const QString &path, qint64 limit, Links links = Links::Follow);

// The file the system reaches at path, in its one spelling: every link
// followed and "..", after a link too, taken as the system takes it. A
// missing file resolves within its real folder; null where the path leads
// nowhere (a dangling link, a loop, a missing folder).
QString resolvedFile(const QString &path);
// The folder path is in, as spelled: path without its last name.
QString folderOf(const QString &path);
// Whether anything is at path, a dangling link included.
bool isThere(const QString &path);
// Why the file at path cannot be replaced as a slot file, where reading it
// does not tell: it leads nowhere (a dangling link, its folder gone), or it
// is read-only, the user's own or another user's.
QString whyNotReplaceable(const QString &path);
// Whether the program may make and remove files in the folder.
bool isWritableFolder(const QString &folder);

// What stands where the folder, or one above it, should be: inTheWay names
// it. Ok where nothing does, the folder missing or not.
FileResult folderInTheWay(const QString &folder, QString &inTheWay);
// Makes the folder and the missing ones above it, as the system takes the
// path; inTheWay names the one that could not be made.
FileResult makeFolder(const QString &folder, QString &inTheWay);

// Makes the new file path with exactly these bytes, synced. Where like is
// given, the file takes the mode (and, where the user may set it, the
// group) of the file at like before its first byte, or the system's
// default where there is none; without like, it is its owner's alone and
// hidden. Fails if anything is at path; on failure, leaves nothing there.
FileResult writeNewFile(const QString &path, QByteArrayView bytes,
                        const std::optional<QString> &like = std::nullopt);
// Moves the file from into the place of to; syncFolder puts it on the disk.
FileResult moveFile(const QString &from, const QString &to);
// Removes the file at path; never a folder.
FileResult removeFile(const QString &path);
// Puts the folder's entries (files made, moved or removed) on the disk.
FileResult syncFolder(const QString &folder);

// A lock that the system frees when its holder ends, however it ends.
class FileLock
{
public:
    enum State { Taken, Held, Failed };
    struct Attempt
    {
        State state;
        QString reason; // why it failed
    };
    FileLock() = default;
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;
    ~FileLock();

    // Opens the lock file at path, making it if need be (read-only where it
    // cannot be opened for writing), and locks it without waiting. Where the
    // file system gives no locks at all, it counts as taken.
    Attempt tryLock(const QString &path);

private:
    qintptr m_handle = -1;
};

// Where the slots live for this user: the folder saves go to, a legacy
// folder earlier versions used (or empty), and why the folder cannot be
// named to the system, if it cannot.
struct UserFolders
{
    QString folder;
    QString legacyFolder;
    QString problem;
};
UserFolders userFolders(const QString &organization, const QString &application);

// The system's words for an error number.
QString errorText(int error);

} // namespace files
