#pragma once

// The slot menus show each caption on one line of at most a set width,
// elided at its end, so that a caption as long as the longest name keeps the
// menu inside the screen. Only the drawing is cut: the items' texts, and so
// what a screen reader reads, stay whole.

#include <QString>

class QMenu;

// A caption text as a menu item shows it, literally: "&" is no access-key
// marker, and tabs and line breaks, which a one-line item cannot show,
// become spaces.
QString menuCaption(const QString &caption);

void elideLongCaptions(QMenu *menu);
