// glyphsmith.com, the console program that cmd and PowerShell start when the
// user types "glyphsmith": it answers the command line itself, so that the
// answer comes before the prompt and the exit code reaches %ERRORLEVEL% and
// $LASTEXITCODE. Without arguments it starts the windowed program beside it
// and returns. The Start menu and Explorer open glyphsmith.exe, which shows
// no console.

#include "commandline.h"

#include <cstdio>
#include <string>
#include <windows.h>

int main(int argc, char *argv[])
{
    if (argc > 1)
        return answerCommandLine(argc, argv);
    std::wstring program(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, program.data(), DWORD(program.size()));
    if (length < 4 || length >= program.size())
        return 1;
    program.resize(length);
    program.replace(program.size() - 4, 4, L".exe");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, DETACHED_PROCESS,
                        nullptr, nullptr, &startup, &started)) {
        std::fprintf(stderr, "glyphsmith: could not start %ls (error %lu)\n", program.c_str(),
                     GetLastError());
        return 1;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return 0;
}
