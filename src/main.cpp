#include "commandline.h"
#include "common/application.h"
#include "program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (argc > 1)
        return answerCommandLine(argc, argv);
    markRunning();
    QApplication app(argc, argv);
    common::setUpApplication();
    ProgramWindows windows(name_slots::SlotStore::forUser());
    windows.main().show();
    return app.exec();
}
