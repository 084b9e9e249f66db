#include "banner.h"

#include <QImage>
#include <QResource>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace {

constexpr int kSide = 193; // the picture's side at 1x, in pixels

// The picture is stored as raw 8-bit RGB, drawn from banner.svg at 1x and
// 2x. A PNG goes through Qt's image reader, which reads the metadata of every
// image-format plugin first; that cost more than all the rest the banner
// adds to the start.
QPixmap bannerPixmap(qreal ratio)
{
    const bool large = ratio > 1;
    const int side = large ? 2 * kSide : kSide;
    const QByteArray rgb = QResource(large ? QStringLiteral(":/images/banner@2x.rgb")
                                           : QStringLiteral(":/images/banner.rgb"))
                               .uncompressedData();
    if (rgb.size() != qsizetype(side) * side * 3)
        return {};
    const QImage image(reinterpret_cast<const uchar *>(rgb.constData()), side, side, side * 3,
                       QImage::Format_RGB888);
    // Drawn at the screen's own size, so that a scale between 1 and 2 gets a
    // smooth picture rather than one scaled while it is painted.
    const int deviceSide = qRound(kSide * ratio);
    QPixmap pixmap = QPixmap::fromImage(
        deviceSide == side ? image
                           : image.scaled(deviceSide, deviceSide, Qt::IgnoreAspectRatio,
                                          Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(qreal(deviceSide) / kSide);
    return pixmap;
}

} // namespace

Banner::Banner(QWidget *parent) : QLabel(parent)
{
    setPixmap(bannerPixmap(devicePixelRatioF()));
}

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
