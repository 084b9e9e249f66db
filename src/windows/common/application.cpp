#include "application.h"

#include "version.h"

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
    installPluralForms();
    QApplication::setOrganizationName(QStringLiteral(GLYPHSMITH_COMPANY));
    QApplication::setApplicationName(QStringLiteral(GLYPHSMITH_PRODUCT_NAME));
    QApplication::setApplicationVersion(QStringLiteral(GLYPHSMITH_VERSION));
    // Lets the desktop match the windows to the menu entry, APP_ID.desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral(GLYPHSMITH_APP_ID));
}

} // namespace common
