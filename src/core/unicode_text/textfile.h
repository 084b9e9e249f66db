#pragma once

// Whole-file text storage for the name slots. A text is written as UTF-8
// without a byte order mark, atomically, so a failed or interrupted save
// leaves the old file whole. Reading accepts what this program and older
// tools wrote: UTF-8 with or without a byte order mark, UTF-16 with one,
// and otherwise Windows-1252 bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QSaveFile>
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
TextFileResult saveTextFile(const QString &path, QStringView text);

// A save in two steps, so that several files can all be written before any
// of them replaces its old file: write() puts the whole text on the disk
// beside the old file, commit() puts it in the old file's place. Dropped
// without a commit, it leaves the old file as it was and nothing beside it.
class PendingSave
{
public:
    explicit PendingSave(const QString &path) : m_file(path) {}
    TextFileResult write(QStringView text);
    TextFileResult commit();

private:
    QSaveFile m_file;
};

} // namespace unicode_text
