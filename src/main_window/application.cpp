#include "application.h"

#include "version.h"

#include <QApplication>
#include <QStandardPaths>

namespace main_window {

void setUpApplication()
{
    QApplication::setOrganizationName(QStringLiteral(GLYPHSMITH_COMPANY));
    QApplication::setApplicationName(QStringLiteral(GLYPHSMITH_PRODUCT_NAME));
    QApplication::setApplicationVersion(QStringLiteral(GLYPHSMITH_VERSION));
}

QString defaultSlotFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:/");
#else
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
#endif
}

} // namespace main_window
