#include "application.h"

#include "version.h"

#include <QAccessible>
#include <QApplication>
#include <QTranslator>

namespace common {

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
    QApplication::setOrganizationName(QStringLiteral(GLYPHSMITH_COMPANY));
    QApplication::setApplicationName(QStringLiteral(GLYPHSMITH_PRODUCT_NAME));
    QApplication::setApplicationVersion(QStringLiteral(GLYPHSMITH_VERSION));
    // Lets the desktop match the windows to the menu entry, APP_ID.desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral(GLYPHSMITH_APP_ID));
}

} // namespace common
