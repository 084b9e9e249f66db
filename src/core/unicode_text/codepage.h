#pragma once

// The single-byte code page of the plain name box: Windows-1252. Text that
// arrives in that box (typed, pasted or opened from a slot) is held to the
// code page's repertoire, and slot files from older tools are read in it.

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace unicode_text {

// The name box holds at most this many characters, so that every name it
// holds converts in full: the conversion counts characters in a 16-bit
// signed integer.
inline constexpr int kMaxNameLength = 32766;

// The two noncharacters that Qt's text documents take for a frame's start
// and end: no text box here keeps them as they are.
constexpr bool isFrameMark(char16_t c) noexcept
{
    return c == 0xFDD0 || c == 0xFDD1;
}

// The character a Windows-1252 byte stands for. The five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 control
// of the same value, as the platform's own conversion does.
char16_t fromWindows1252(unsigned char byte) noexcept;

QString decodeWindows1252(QByteArrayView bytes);

// The text with tabs and line breaks as spaces, and every other control
// character (and the frame marks U+FDD0, U+FDD1) as "?": what either
// one-line box keeps of a paste.
QString withoutControls(QStringView text);

// The text as the one-line name box holds it, composed first (NFC), so that
// a letter and its combining accent are the code page's accented letter.
// Tabs and line breaks become spaces. Control characters, which a game
// stores badly in a name, and every character the code page cannot hold
// become "?"; a surrogate pair is one character, so it becomes one "?",
// never two.
QString toCodePage(QStringView text);

} // namespace unicode_text
