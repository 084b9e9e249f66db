#include "glyphs.h"

namespace glyphs {
namespace {

// The table indexed by code unit: the rows' order never changes the result,
// because the keys are distinct, so a direct index gives the same answer as
// trying the rows in turn.
constexpr std::array<char16_t, 128> makeIndex()
{
    std::array<char16_t, 128> index{};
    for (char16_t c = 0; c < index.size(); ++c)
        index[c] = c;
    for (const GlyphRow &row : kTable)
        index[row.letter] = row.glyph;
    return index;
}

constexpr std::array<char16_t, 128> kIndex = makeIndex();

} // namespace

char16_t glyphFor(char16_t c) noexcept
{
    return c < kIndex.size() ? kIndex[c] : c;
}

QString convertName(QStringView name)
{
    QString out = name.toString();
    for (QChar &c : out)
        c = QChar(glyphFor(c.unicode()));
    return out;
}

} // namespace glyphs
