#include "application.h"

#include "version.h"

#include <QApplication>

namespace common {

void setUpApplication()
{
    QApplication::setOrganizationName(QStringLiteral(GLYPHSMITH_COMPANY));
    QApplication::setApplicationName(QStringLiteral(GLYPHSMITH_PRODUCT_NAME));
    QApplication::setApplicationVersion(QStringLiteral(GLYPHSMITH_VERSION));
    // Lets the desktop match the windows to the menu entry, APP_ID.desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral(GLYPHSMITH_APP_ID));
}

} // namespace common
