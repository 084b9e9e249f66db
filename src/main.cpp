#include "common/application.h"
#include "program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    common::setUpApplication();
    ProgramWindows windows(name_slots::SlotStore::forUser());
    windows.main().show();
    return app.exec();
}
