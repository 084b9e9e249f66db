#pragma once

// Keyboard conventions the windows share.

class QWidget;

namespace common {

// Alt with a letter (or Alt+Shift with one) types nothing into the box:
// elsewhere it chooses a menu or a control by its access key, and these
// windows have none, so it does nothing at all. Alt alone and F10 still
// reach the menu bar.
void ignoreAltTyping(QWidget *box);

} // namespace common
