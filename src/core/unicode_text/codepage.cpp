#include "codepage.h"

#include <algorithm>
#include <array>

namespace unicode_text {
namespace {

// Bytes 0x80..0x9F; every other byte is the Latin-1 character of its value.
constexpr std::array<char16_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isLineBreakOrTab(char16_t c) noexcept
{
    return (c >= u'\t' && c <= u'\r') || c == 0x0085 || c == 0x2028 || c == 0x2029;
}

// Printable characters of the code page; the C0 and C1 controls and DEL are
// not, even where a byte stands for one.
bool inCodePage(char16_t c) noexcept
{
    if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF))
        return true;
    return c > 0xFF &&
           std::find(kHighControls.begin(), kHighControls.end(), c) != kHighControls.end();
}

// The C0 and C1 controls and DEL, and the two noncharacters that Qt's text
// documents take for a frame's start and end.
bool isControl(char16_t c) noexcept
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || isFrameMark(c);
}

} // namespace

char16_t fromWindows1252(unsigned char byte) noexcept
{
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char16_t(byte);
}

QString decodeWindows1252(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (char b : bytes)
        *dst++ = QChar(fromWindows1252(static_cast<unsigned char>(b)));
    return out;
}

QString withoutControls(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out)
        if (isLineBreakOrTab(c.unicode()))
            c = u' ';
        else if (isControl(c.unicode()))
            c = u'?';
    return out;
}

QString toCodePage(QStringView decomposed)
{
    // A letter and its combining accent (as macOS file names give them) are
    // one letter of the code page where it has the composed one.
    const QString text = decomposed.toString().normalized(QString::NormalizationForm_C);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isLineBreakOrTab(c.unicode()))
            out.append(u' ');
        else
            out.append(inCodePage(c.unicode()) ? c : QChar(u'?'));
        // A surrogate pair is one character outside the code page: one "?".
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    return out;
}

} // namespace unicode_text
