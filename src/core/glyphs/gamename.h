#pragma once

// How much of a converted name the game keeps. The game engines hold a
// player name in a 32-byte buffer with its terminating NUL, so they keep
// 31 bytes of its UTF-8; players of Source-engine games report names cut
// at 31 characters, and server tools report the cut falling inside a
// multi-byte character and leaving a broken one. Most glyphs take 2 bytes
// in UTF-8, so a converted name is cut well before 31 characters.

#include <QStringView>

namespace glyphs {

inline constexpr qsizetype kGameNameBytes = 31;

struct GameFit
{
    qsizetype characters = 0; // Unicode characters (a surrogate pair is one)
    qsizetype bytes = 0;      // in UTF-8
    qsizetype keptCharacters = 0;
    // Where the cut falls, in UTF-16 code units: the game keeps the text
    // before it. A character that would straddle the limit is cut whole.
    qsizetype keptUnits = 0;

    bool fits() const { return bytes <= kGameNameBytes; }
};

GameFit gameFit(QStringView name);

} // namespace glyphs
