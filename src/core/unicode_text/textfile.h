#pragma once

// The text format of the name slots' files. A text is written as UTF-8
// without a byte order mark. Reading accepts what this program and older
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

// What loading a text gives back: the text, or,
// when it failed, the reason in words the user can read.
struct [[nodiscard]] TextFileResult
{
    QString text;
    QString error;
    bool ok() const { return error.isNull(); }
};

QString decodeText(QByteArrayView bytes);
QByteArray encodeText(QStringView text);

// A path where no file exists loads as the empty text; anything but a
// regular file (or a link to one), and a file over kMaxTextFileBytes, is
// refused unread.
TextFileResult loadTextFile(const QString &path);

} // namespace unicode_text
