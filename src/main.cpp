#include "main_window/form1.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

namespace {

// Where the six slot files live: the root of drive C: on Windows, where
// earlier versions kept them; elsewhere the per-user application data folder.
QString slotFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:/");
#else
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Ravenmoor"));
    QApplication::setApplicationName(QStringLiteral("Ravenmoor Glyphsmith"));
    QApplication::setApplicationVersion(QStringLiteral("2.00"));

    Form1 window(slotFolder());
    window.show();
    return app.exec();
}
