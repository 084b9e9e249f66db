#include "gamename.h"

namespace glyphs {

GameFit gameFit(QStringView name)
{
    GameFit fit;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < name.size() &&
                          QChar::isLowSurrogate(name[i + 1].unicode());
        // A lone surrogate is written as U+FFFD, three bytes.
        const int bytes = pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        ++fit.characters;
        fit.bytes += bytes;
        if (pair)
            ++i;
        if (fit.bytes <= kGameNameBytes) {
            ++fit.keptCharacters;
            fit.keptUnits = i + 1;
        }
    }
    return fit;
}

} // namespace glyphs
