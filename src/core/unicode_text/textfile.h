#pragma once

// Whole-file text storage for the name slots. A text is written as UTF-8
// without a byte order mark, atomically, so a failed or interrupted save
// leaves the old file whole. Reading accepts what this program and older
// tools wrote: UTF-8 with or without a byte order mark, UTF-16 with one,
// and otherwise Windows-1252 bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

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

// A path where no file exists loads as the empty text. Anything but a
// regular file (or a link to one) is refused, and opening never blocks.
TextFileResult loadTextFile(const QString &path);

// Replaces the file at path with text: the text is written in full beside
// it, synced to the disk, then put in its place in one step. A link is kept
// and the file it leads to replaced. A failed save leaves the old file whole
// and nothing beside it.
TextFileResult saveTextFile(const QString &path, QStringView text);

// The steps of a save, for a caller that writes several files before any of
// them replaces its old file.
//
// The file a save of path replaces: the one a link there leads to, even
// while it is missing, or path itself.
QString replacedFile(const QString &path);
// Writes text in full, synced to the disk, as the new file `written` that is
// to replace the file at path. Refused when loading would refuse path, or
// its file is read-only. On failure, nothing is left at `written`.
TextFileResult writeReplacement(const QString &path, const QString &written, QStringView text);
// Moves the file from into the place of to, replacing what is there, in one
// step.
TextFileResult moveFile(const QString &from, const QString &to);

} // namespace unicode_text
