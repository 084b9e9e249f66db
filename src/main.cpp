#include "commandline.h"
#include "common/application.h"
#include "program.h"
#include "version.h"

#include <QApplication>

#ifdef Q_OS_WIN
#include <algorithm>
#include <string>
#include <windows.h>

namespace {

// The mutex a running copy holds, named for the folder it was started from,
// in lower case and with forward slashes (a kernel object's name holds no
// backslash): the installer and the uninstaller of that folder look for it,
// and a copy run from anywhere else (the zip's) is none of their concern.
std::wstring runningMutexName()
{
    std::wstring folder(32768, L'\0');
    folder.resize(GetModuleFileNameW(nullptr, folder.data(), DWORD(folder.size())));
    folder.erase(std::min(folder.size(), folder.find_last_of(L'\\')));
    CharLowerBuffW(folder.data(), DWORD(folder.size()));
    std::replace(folder.begin(), folder.end(), L'\\', L'/');
    return L"" GLYPHSMITH_APP_ID L"|" + folder;
}

} // namespace
#endif

int main(int argc, char *argv[])
{
    if (argc > 1)
        return answerCommandLine(argc, argv);
#ifdef Q_OS_WIN
    // Held while the program runs: the installer and the uninstaller of its
    // folder look for it and change nothing while it is there.
    const HANDLE running = CreateMutexW(nullptr, FALSE, runningMutexName().c_str());
    Q_UNUSED(running);
#endif
    QApplication app(argc, argv);
    common::setUpApplication();
    ProgramWindows windows(name_slots::SlotStore::forUser());
    windows.main().show();
    return app.exec();
}
