#include "captionmenus.h"

#include <QApplication>
#include <QMenu>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOptionMenuItem>

namespace {

class CaptionMenuStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override
    {
        QSize clamped = size;
        if (type == CT_MenuItem)
            clamped.setWidth(qMin(size.width(), maxTextWidth(option->fontMetrics, widget)));
        return QProxyStyle::sizeFromContents(type, option, clamped, widget);
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (element != CE_MenuItem || !item) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        QStyleOptionMenuItem shown(*item);
        shown.text = item->fontMetrics.elidedText(item->text, Qt::ElideRight,
                                                  maxTextWidth(item->fontMetrics, widget),
                                                  Qt::TextShowMnemonic);
        QProxyStyle::drawControl(element, &shown, painter, widget);
    }

private:
    // Room for a name of the game's length twice over, and for the menu
    // beside the File menu on a small screen.
    static int maxTextWidth(const QFontMetrics &metrics, const QWidget *widget)
    {
        const int screenWidth = widget && widget->screen()
                                    ? widget->screen()->availableGeometry().width()
                                    : QWIDGETSIZE_MAX;
        return qMin(64 * metrics.averageCharWidth(), screenWidth / 3);
    }
};

} // namespace

void elideLongCaptions(QMenu *menu)
{
    auto *style = new CaptionMenuStyle(QApplication::style()->name());
    style->setParent(menu);
    menu->setStyle(style);
}

QString menuCaption(const QString &caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (const QChar c : caption) {
        if (c == u'&')
            shown.append(QStringLiteral("&&"));
        else if (c == u'\t' || c == u'\n' || c == u'\r' || c == QChar::LineSeparator ||
                 c == QChar::ParagraphSeparator)
            shown.append(u' ');
        else
            shown.append(c);
    }
    return shown;
}
