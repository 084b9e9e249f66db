#pragma once

// What the three windows share: the application icon, the default font
// (MS Sans Serif 8.25 pt, or the nearest plain sans where it is missing),
// and static labels that are plain, opaque, top-left aligned text wrapping
// at word breaks inside their fixed boxes.

#include <QFont>

class QWidget;

namespace common {

// Where MS Sans Serif itself is not used (on scaled screens, or without
// Debian's fonts-wine) Liberation Sans stands in, drawn at this horizontal
// stretch in percent so that every label wraps at the same words: the
// three windows' label texts are 0.960 as wide in MS Sans Serif 8.25 pt as
// in Liberation Sans, measured once, and with 96 each label's lines match.
inline constexpr int kStandInStretch = 96;

// A font of the design's face, with the nearest installed face standing in
// for faces this system lacks (MS Sans Serif, Arial, Arial Black).
QFont designFont(const QString &family, qreal pointSize, QFont::Weight weight = QFont::Normal);

// Icon, default font and label conventions for a window built from a .ui file.
void applyWindowConventions(QWidget *window);

// While it lives, new widgets are made in the window's default font, which
// is then the application's too; the application's own font comes back
// after. Qt lays out a new line edit's empty text in the application's font
// before it takes its own, and that loaded a face the window never draws,
// with a search for the fallbacks of the platform's default family: about
// 4% of the instructions up to the main window's first paint.
class WidgetsMadeInWindowFont
{
public:
    explicit WidgetsMadeInWindowFont(QWidget *window);
    ~WidgetsMadeInWindowFont();
    WidgetsMadeInWindowFont(const WidgetsMadeInWindowFont &) = delete;
    WidgetsMadeInWindowFont &operator=(const WidgetsMadeInWindowFont &) = delete;

private:
    const QFont m_applicationFont;
};

} // namespace common
