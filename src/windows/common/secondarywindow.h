#pragma once

// The base of the About and Help windows: a top-level window of its own,
// without an owner, that screen readers present as a window with its title
// (a plain widget would be announced as a "filler").

#include <QWidget>

namespace common {

class SecondaryWindow : public QWidget
{
    Q_OBJECT
public:
    SecondaryWindow();
};

} // namespace common
