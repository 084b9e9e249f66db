#include "banner.h"

#include <QImage>
#include <QResource>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace {

constexpr int kSide = 193; // the picture's side at 1x, in pixels

// The picture is stored as raw pixels in the layout of an opaque QImage,
// Format_RGB32, drawn from banner.svg at 1x and 2x. The pixmap takes such an
// image as it is, so at 1x, stored uncompressed, it is drawn straight from
// the program's own pages: a PNG went through Qt's image reader, which reads
// the metadata of every image-format plugin first, and any other layout
// means a copy of every pixel while the window opens.
QImage bannerImage(bool large)
{
    const int side = large ? 2 * kSide : kSide;
    auto *pixels = new QByteArray(QResource(large ? QStringLiteral(":/images/banner@2x.rgb32")
                                                  : QStringLiteral(":/images/banner.rgb32"))
                                      .uncompressedData());
    const auto release = [](void *bytes) { delete static_cast<QByteArray *>(bytes); };
    if (pixels->size() != qsizetype(side) * side * 4) {
        release(pixels);
        return {};
    }
    // The image keeps the bytes, which at 2x the resource decompressed.
    return QImage(reinterpret_cast<const uchar *>(pixels->constData()), side, side, side * 4,
                  QImage::Format_RGB32, release, pixels);
}

QPixmap bannerPixmap(qreal ratio)
{
    const QImage image = bannerImage(ratio > 1);
    if (image.isNull())
        return {};
    // Drawn at the screen's own size, so that a scale between 1 and 2 gets a
    // smooth picture rather than one scaled while it is painted.
    const int deviceSide = qRound(kSide * ratio);
    QPixmap pixmap = QPixmap::fromImage(
        deviceSide == image.width() ? image
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
