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

// What a step gives back: when it failed, the reason in words the user can read.
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
// "..", "." and doubled separators resolved as the system resolves them. A
// missing file resolves within its real folder. Null where the path leads
// nowhere (a dangling link, a loop, a missing folder).
QString resolvedFile(const QString &path);

// Whether anything is at path, a dangling link included.
bool isThere(const QString &path);

// Why the file at path can be neither read nor replaced as a slot file:
// anything but a regular file, a link to one, or nothing. Empty when it can.
QString pathProblem(const QString &path);
// The same, and a read-only file too.
QString whyNotReplaceable(const QString &path);

// A file's permission bits, where the system has them; none for a missing
// file and on Windows, whose files take their folder's access rules.
using FileMode = std::optional<unsigned>;
FileMode modeOf(const QString &path);

// Makes the new file path with exactly these bytes and the mode given (or
// the system's default one) from its first byte, synced to the disk; hidden
// where the system marks hidden files. Fails if anything is at path
// already; on failure, nothing is left there.
FileResult writeNewFile(const QString &path, QByteArrayView bytes, FileMode mode);
// Moves the file from into the place of to, replacing what is there. On
// Linux the move reaches the disk with syncFolder; on Windows it is written
// through.
FileResult moveFile(const QString &from, const QString &to);
// Removes the file at path; never a folder.
FileResult removeFile(const QString &path);
// Puts the folder's entries (files made, moved or removed) on the disk. Does
// nothing on Windows, whose moves are written through.
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

    // Opens the lock file at path, making it if need be, and locks it
    // without waiting: Held while another process holds it; Failed, with
    // the reason, where it cannot be opened.
    Attempt tryLock(const QString &path);

private:
    qintptr m_handle = -1;
};

// Where the slots live for this user: the folder saves go to, and a legacy
// folder that earlier versions used (empty where there is none).
struct UserFolders
{
    QString folder;
    QString legacyFolder;
};
UserFolders userFolders(const QString &organization, const QString &application);

// The system's words for an error number.
QString errorText(int error);

} // namespace files
