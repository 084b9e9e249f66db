#include "application.h"

#include "version.h"

#include <QApplication>

namespace common {

void setUpApplication()
{
    QApplication::setOrganizationName(QStringLiteral(GLYPHSMITH_COMPANY));
    QApplication::setApplicationName(QStringLiteral(GLYPHSMITH_PRODUCT_NAME));
    QApplication::setApplicationVersion(QStringLiteral(GLYPHSMITH_VERSION));
}

} // namespace common
