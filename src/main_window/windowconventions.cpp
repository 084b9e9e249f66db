#include "windowconventions.h"

#include <QIcon>
#include <QLabel>
#include <QWidget>

namespace main_window {
namespace {

void installFontSubstitutes()
{
    static const bool installed = [] {
        // Liberation Sans keeps Arial's metrics; for MS Sans Serif it is the
        // nearest plain sans. Lato Black stands in for the heavy Arial Black.
        QFont::insertSubstitutions(
            QStringLiteral("MS Sans Serif"),
            {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
        QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"),
                                                             QStringLiteral("DejaVu Sans")});
        QFont::insertSubstitutions(
            QStringLiteral("Arial Black"),
            {QStringLiteral("Lato Black"), QStringLiteral("Lato"), QStringLiteral("DejaVu Sans")});
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

QFont designFont(const QString &family, qreal pointSize, QFont::Weight weight)
{
    installFontSubstitutes();
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setWeight(weight);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void applyWindowConventions(QWidget *window)
{
    window->setWindowIcon(QIcon(QStringLiteral(":/images/icon.xpm")));
    window->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25));
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (!label->pixmap().isNull())
            continue;
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setAutoFillBackground(true);
    }
}

} // namespace main_window
