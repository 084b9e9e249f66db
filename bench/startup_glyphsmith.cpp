// The program's own start, with its slot start-up on an empty folder, ended
// at the main window's first paint.

#include "common/application.h"
#include "first_paint.h"
#include "main_window/form1.h"

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    common::setUpApplication();
    QTemporaryDir slotFolder;
    Form1 window(name_slots::SlotStore(slotFolder.path()));
    window.show();
    new QuitAtFirstPaint(&window);
    return app.exec();
}
