#include "textfile.h"

#include "codepage.h"

#include "files/systemfile.h"

#include <QStringDecoder>

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

TextFileResult loadTextFile(const QString &path)
{
    const files::FileBytes read = files::loadFileBytes(path, kMaxTextFileBytes);
    return read.ok() ? TextFileResult{decodeText(read.bytes), QString()} : failure(read.error);
}

} // namespace unicode_text
