#pragma once

// The glyph table: each of the 52 plain ASCII letters has one look-alike
// character from another Unicode block. A name is rewritten one UTF-16 code
// unit at a time; anything that is not one of the 52 letters passes through
// unchanged, so a converted name is exactly as long as the typed one.

#include <QString>
#include <QStringView>
#include <array>

namespace glyphs {

struct GlyphRow
{
    char16_t letter;
    char16_t glyph;
};

// The rows in the order the letters are tried: "a".."z", then "A".."Z".
// Every glyph lies in the Basic Multilingual Plane (one code unit each).
inline constexpr std::array<GlyphRow, 52> kTable{{
    {u'a', u'\u0103'}, {u'b', u'\u0637'}, {u'c', u'\u010D'}, {u'd', u'\u0111'}, {u'e', u'\u00EB'},
    {u'f', u'f'},      {u'g', u'\u011F'}, {u'h', u'\u0127'}, {u'i', u'\u0623'}, {u'j', u'\u0630'},
    {u'k', u'\u0137'}, {u'l', u'l'},      {u'm', u'm'},      {u'n', u'\u014B'}, {u'o', u'\u00F0'},
    {u'p', u'p'},      {u'q', u'q'},      {u'r', u'\u0155'}, {u's', u'\u06A9'}, {u't', u'\u0166'},
    {u'u', u'\u06BA'}, {u'v', u'\u0667'}, {u'w', u'\u03C9'}, {u'x', u'\u04B3'}, {u'y', u'\u00FD'},
    {u'z', u'z'},      {u'A', u'\u00C2'}, {u'B', u'\u03B2'}, {u'C', u'\u010C'}, {u'D', u'\u0110'},
    {u'E', u'\u0112'}, {u'F', u'F'},      {u'G', u'\u0122'}, {u'H', u'\u0124'}, {u'I', u'I'},
    {u'J', u'\u0134'}, {u'K', u'\u0136'}, {u'L', u'\u013B'}, {u'M', u'M'},      {u'N', u'\u0143'},
    {u'O', u'\u014C'}, {u'P', u'P'},      {u'Q', u'Q'},      {u'R', u'\u0154'}, {u'S', u'\u015A'},
    {u'T', u'\u0164'}, {u'U', u'\u0168'}, {u'V', u'\u06F7'}, {u'W', u'\u1E80'}, {u'X', u'\u04B2'},
    {u'Y', u'Y'},      {u'Z', u'\u0179'},
}};

// The one-character rule: the table's glyph for one of the 52 letters
// (an exact, case-sensitive match), otherwise the code unit itself.
char16_t glyphFor(char16_t c) noexcept;

// The whole name through glyphFor, in input order.
QString convertName(QStringView name);

} // namespace glyphs
