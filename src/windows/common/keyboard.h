#pragma once

// Keyboard conventions the windows share.

class QMainWindow;
class QWidget;

namespace common {

// Alt with a letter (or Alt+Shift with one) types nothing into the box:
// elsewhere it chooses a menu or a control by its access key, and these
// windows have none, so it does nothing at all. Alt alone and F10 still
// reach the menu bar.
void ignoreAltTyping(QWidget *box);

// The menu bar answers the keyboard in every style: Alt, or F10 as on the
// desktops the program runs on, highlights its first title; the arrows move
// along it, and Return, Space or Down opens the highlighted menu or chooses
// an item without one ("About").
void keyboardMenuBar(QMainWindow *window);

// Esc and Ctrl+W close the window they are pressed in, and only that one.
void closeByKeyboard(QWidget *window);

} // namespace common
