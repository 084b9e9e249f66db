#pragma once

// Whole-file text storage for the name slots. A text is written as UTF-8
// without a byte order mark, atomically, so a failed or interrupted save
// leaves the old file whole. Reading accepts what this program and older
// tools wrote: UTF-8 with or without a byte order mark, UTF-16 with one,
// and otherwise Windows-1252 bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QFileDevice>
#include <QString>
#include <QStringView>
#include <optional>

namespace unicode_text {

// A slot holds a name of at most 32,766 characters; anything much larger
// than that is not a slot file and is refused unread.
inline constexpr qint64 kMaxTextFileBytes = 1024 * 1024;

// What a file operation gives back: the text read (empty for a save), or,
// when it failed, the reason in words the user can read.
struct [[nodiscard]] TextFileResult
{
    QString text;
    QString error;
    bool ok() const { return error.isNull(); }
};

QString decodeText(QByteArrayView bytes);
QByteArray encodeText(QStringView text);

// What a file holds, read whole: nothing where no file exists.
struct [[nodiscard]] FileBytes
{
    bool exists = false;
    QByteArray bytes;
    QString error; // null unless the read failed
    bool ok() const { return error.isNull(); }
};

// Reads the file at path, through a link. Anything but a regular file (or a
// link to one), and a file over kMaxTextFileBytes, is refused, and opening
// never blocks.
FileBytes loadFileBytes(const QString &path);

// A path where no file exists loads as the empty text; otherwise as
// loadFileBytes.
TextFileResult loadTextFile(const QString &path);

// The steps of a save, for a caller that writes several files before any of
// them replaces its old file.
//
// The file a save of path replaces: the one a link there leads to, even
// while it is missing, or path itself.
QString replacedFile(const QString &path);
// Why the file at path may not be replaced: what loading refuses, and a
// read-only file. Empty when it may.
QString whyNotReplaceable(const QString &path);
// Makes the new file `path` with exactly these bytes, synced to the disk,
// with the permissions given (or the system's default ones). Fails if
// anything is at path already; on failure, nothing is left there.
TextFileResult writeNewFile(const QString &path, QByteArrayView bytes,
                            std::optional<QFileDevice::Permissions> permissions);
// Moves the file from into the place of to, replacing what is there, in one
// step that reaches the disk.
TextFileResult moveFile(const QString &from, const QString &to);
// Puts the folder's entries (files made, moved or removed) on the disk. Does
// nothing on Windows, whose moves are written through.
TextFileResult syncFolder(const QString &folder);

} // namespace unicode_text
