#pragma once

// The slot menus show each caption on one line of at most a set width,
// elided at its end, so that a caption as long as the longest name keeps the
// menu inside the screen. Only the drawing is cut: the items' texts, and so
// what a screen reader reads, stay whole.

class QMenu;

void elideLongCaptions(QMenu *menu);
