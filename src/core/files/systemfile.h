#pragma once

// The file system's calls that the slots need, each checked, with the
// system's reason where one fails. The platform's own calls live in
// systemfile_unix.cpp and systemfile_win.cpp; the rest of the code is
// portable.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace files {

// What a step gives back: when it failed, the reason in words the user can
// read. Every result here, and the slots' own, is ok while its reason is null.
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
    QString error; // null unless the read failed
    bool ok() const { return error.isNull(); }
};

enum class Links { Follow, Refuse };

// Reads the file at path, through a link unless refused. Anything but a
// regular file, and a file over limit bytes, is refused; opening never
// blocks, and what was opened is checked, not the path.
FileBytes loadFileBytes(const QString &path, qint64 limit, Links links = Links::Follow);

// The file the system reaches at path, in its one spelling: the whole chain
// of links followed, each relative link against the real folder it is in,
// "..", "." and doubled separators resolved as the system resolves them,
// "..", after a link, included. A missing file resolves within its real
// folder. Null where the path leads nowhere (a dangling link, a loop, a
// missing folder).
QString resolvedFile(const QString &path);
// The folder path is in, as spelled: path without its last name, ".." kept.
QString folderOf(const QString &path);

// Whether anything is at path, a dangling link included.
bool isThere(const QString &path);

// Why the file at path can be neither read nor replaced as a slot file:
// anything but a regular file, a link to one, or nothing. Null when it can.
QString pathProblem(const QString &path);
// The same, and a read-only file too.
QString whyNotReplaceable(const QString &path);
// Whether the program may make and remove files in the folder.
bool isWritableFolder(const QString &folder);

// What stands where the folder, or a folder above it, should be: inTheWay
// names it. Ok where nothing does, the folder missing or not.
FileResult folderInTheWay(const QString &folder, QString &inTheWay);
// Makes the folder and those above it that are missing, taking the path as
// the system does; inTheWay names the folder that could not be made, or the
// thing in its place.
FileResult makeFolder(const QString &folder, QString &inTheWay);

// Makes the new file path with exactly these bytes, synced to the disk;
// hidden where the system marks hidden files. Where like names a file, the
// new one takes that file's mode (and its group, where the user may set it)
// before the first byte, or the system's default mode where nothing is at
// like; without like, it is readable by its owner alone. Fails if anything
// is at path already; on failure, nothing is left there.
FileResult writeNewFile(const QString &path, QByteArrayView bytes,
                        const std::optional<QString> &like = std::nullopt);
// Moves the file from into the place of to, replacing what is there. The
// move reaches the disk with syncFolder.
FileResult moveFile(const QString &from, const QString &to);
// Removes the file at path; never a folder.
FileResult removeFile(const QString &path);
// Puts the folder's entries (files made, moved or removed) on the disk.
FileResult syncFolder(const QString &folder);

// A lock that the system frees when its holder ends, however it ends.
class FileLock
{
public:
    enum State {
        Taken,
        Held,   // another process holds it
        Failed, // it cannot be opened or locked: the reason says why
    };
    struct Attempt
    {
        State state;
        QString reason;
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

// Where the slots live for this user: the folder saves go to, and a legacy
// folder that earlier versions used (empty where there is none). Where the
// folder cannot be named to the system, problem says why.
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
