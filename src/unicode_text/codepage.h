#pragma once

// The single-byte code page of the plain input box: Windows-1252. Text that
// arrives in that box (typed, pasted or opened from a slot) is held to the
// code page's repertoire, and slot files from older tools are read in it.

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QValidator>

namespace unicode_text {

// The character a Windows-1252 byte stands for. The five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 control
// of the same value, as the platform's own conversion does.
char16_t fromWindows1252(unsigned char byte) noexcept;

QString decodeWindows1252(QByteArrayView bytes);

// The text as the single-byte box holds it: every character the code page
// cannot hold becomes "?". A surrogate pair is one character, so it becomes
// one "?", never two.
QString toCodePage(QStringView text);

// Holds a line edit to the code page: whatever is typed or pasted passes
// through toCodePage, and the caret stays after the same character.
class CodePageValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

} // namespace unicode_text
