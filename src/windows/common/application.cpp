#include "application.h"

#include "version.h"

#include <QAccessible>
#include <QApplication>
#include <QToolTip>
#include <QTranslator>

namespace common {
namespace {

// Gives each tool tip Qt's tool-tip palette as it is shown, after its
// style has polished it.
class ToolTipColours : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->inherits("QTipLabel")) {
            auto *tip = static_cast<QWidget *>(watched);
            const QPalette colours = QToolTip::palette();
            if (tip->palette().color(QPalette::ToolTipText) != colours.color(QPalette::ToolTipText))
                tip->setPalette(colours);
        }
        return false;
    }
};

} // namespace

void keepToolTipColours()
{
    qApp->installEventFilter(new ToolTipColours(qApp));
}

void installPluralForms()
{
    // Without it Qt shows a counted text as written: "%n character(s)".
    auto *forms = new QTranslator(qApp);
    if (forms->load(QStringLiteral(":/i18n/glyphsmith_en.qm")))
        QCoreApplication::installTranslator(forms);
    else
        qWarning("The English plural forms are missing from the program.");
}

void setUpApplication()
{
    // Starts the accessibility bridge before anything else, as a window's
    // first widget would: without a session bus, the bridge's D-Bus
    // connection forks a helper, and the fork costs the program a page fault
    // for every page it writes afterwards that it had written before. Started
    // after the fonts are loaded, that is about 50 more faults to the first
    // paint.
    QAccessible::isActive();
    installPluralForms();
    keepToolTipColours();
    QApplication::setOrganizationName(QStringLiteral(GLYPHSMITH_COMPANY));
    QApplication::setApplicationName(QStringLiteral(GLYPHSMITH_PRODUCT_NAME));
    QApplication::setApplicationVersion(QStringLiteral(GLYPHSMITH_VERSION));
    // Lets the desktop match the windows to the menu entry, APP_ID.desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral(GLYPHSMITH_APP_ID));
}

} // namespace common
