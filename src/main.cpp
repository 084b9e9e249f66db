#include "commandline.h"
#include "common/application.h"
#include "program.h"
#include "version.h"

#include <QApplication>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

int main(int argc, char *argv[])
{
    if (argc > 1)
        return answerCommandLine(argc, argv);
#ifdef Q_OS_WIN
    // Held while the program runs: the installer and the uninstaller look
    // for it and change nothing while it is there.
    const HANDLE running = CreateMutexW(nullptr, FALSE, L"" GLYPHSMITH_APP_ID);
    Q_UNUSED(running);
#endif
    QApplication app(argc, argv);
    common::setUpApplication();
    ProgramWindows windows(name_slots::SlotStore::forUser());
    windows.main().show();
    return app.exec();
}
