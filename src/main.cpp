#include "main_window/application.h"
#include "main_window/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    main_window::setUpApplication();
    Form1 window(main_window::defaultSlotFolder());
    window.show();
    return app.exec();
}
