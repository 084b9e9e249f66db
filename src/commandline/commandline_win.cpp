// The command line's arguments and answers on Windows: the arguments as
// typed, from the wide command line, and answers in the console's own wide
// characters, or in UTF-8 to a file or pipe, so that any text arrives as it
// is, whatever the console's code page.

#include "commandline.h"
#include "version.h"

#include <algorithm>

#include <windows.h>

#include <shellapi.h> // after windows.h, which it needs

namespace command_line {

const bool kSwitchesInAnyCase = true;
namespace {

std::string narrow(const wchar_t *text, int length)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::wstring widen(const std::string &text)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), size);
    return wide;
}

std::string reason(DWORD error)
{
    wchar_t *words = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t *>(&words), 0, nullptr);
    std::string text = length ? narrow(words, int(length)) : "error " + std::to_string(error);
    LocalFree(words);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.'))
        text.pop_back();
    return text;
}

// The stream an answer goes to: the one given, where it is a console, a
// file or a pipe; for the windowed program started from a console, which
// gets none, that console.
HANDLE stream(bool toError)
{
    const HANDLE given = GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (given && given != INVALID_HANDLE_VALUE && GetFileType(given) != FILE_TYPE_UNKNOWN)
        return given;
    static const HANDLE console = [] {
        if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)
            return INVALID_HANDLE_VALUE;
        return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    }();
    return console;
}

} // namespace

std::vector<std::string> arguments(int, char *[])
{
    int count = 0;
    wchar_t **typed = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; typed && i < count; ++i)
        result.push_back(narrow(typed[i], int(wcslen(typed[i]))));
    LocalFree(typed);
    return result;
}

std::string write(const std::string &text, bool toError)
{
    const HANDLE to = stream(toError);
    if (to == INVALID_HANDLE_VALUE)
        return {}; // started without any console: there is no one to tell
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(to, &mode)) {
        const std::wstring wide = widen(text);
        if (!WriteConsoleW(to, wide.data(), DWORD(wide.size()), &written, nullptr))
            return reason(GetLastError());
        return {};
    }
    // Files and pipes get Windows' line ends.
    std::string bytes;
    for (const char c : text)
        bytes += c == '\n' ? std::string("\r\n") : std::string(1, c);
    if (!WriteFile(to, bytes.data(), DWORD(bytes.size()), &written, nullptr))
        return reason(GetLastError());
    return written == bytes.size() ? std::string() : reason(ERROR_DISK_FULL);
}

} // namespace command_line

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

void markRunning()
{
    // Never closed: the system closes both when the program ends. The
    // program file is held open without delete sharing, so that an
    // installer's rename check finds it running under any spelling of its
    // folder (an 8.3 name, a subst drive), where the mutex's name is one.
    CreateMutexW(nullptr, FALSE, runningMutexName().c_str());
    std::wstring program(32768, L'\0');
    program.resize(GetModuleFileNameW(nullptr, program.data(), DWORD(program.size())));
    CreateFileW(program.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}
