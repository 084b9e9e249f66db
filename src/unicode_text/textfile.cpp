#include "textfile.h"

#include "codepage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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

QString tooLarge()
{
    return QStringLiteral("It is larger than 1 MiB, too large for a name.");
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
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    if (info.isDir())
        return failure(QStringLiteral("It is a folder, not a file."));
    if (!info.isFile())
        return failure(QStringLiteral("It is not a regular file."));
    if (info.size() > kMaxTextFileBytes)
        return failure(tooLarge());

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(file.errorString());
    // Read one byte past the limit: a file that grew since the check above
    // is still refused rather than cut short.
    const QByteArray bytes = file.read(kMaxTextFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(file.errorString());
    if (bytes.size() > kMaxTextFileBytes)
        return failure(tooLarge());
    return {decodeText(bytes), QString()};
}

TextFileResult saveTextFile(const QString &path, QStringView text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.errorString());
    const QByteArray bytes = encodeText(text);
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(reason);
    }
    if (!file.commit())
        return failure(file.errorString());
    return {};
}

} // namespace unicode_text
