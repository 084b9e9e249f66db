#include "banner.h"

#include <QStyleOptionFocusRect>
#include <QStylePainter>

void Banner::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // The banner reaches past the window's left edge: frame the part that shows.
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().intersected(QRect(mapFromParent(QPoint(0, 0)), parentWidget()->size()));
    option.backgroundColor = palette().color(QPalette::Window);
    // Only the keyboard reaches the banner; styles draw the frame for that.
    option.state |= QStyle::State_KeyboardFocusChange;
    QStylePainter(this).drawPrimitive(QStyle::PE_FrameFocusRect, option);
}
