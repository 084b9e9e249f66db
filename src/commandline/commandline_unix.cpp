// The command line's arguments and answers on Linux and other Unix systems:
// bytes as the terminal gives and takes them.

#include "commandline.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

void markRunning() {}

namespace command_line {

const bool kSwitchesInAnyCase = false;

std::vector<std::string> arguments(int argc, char *argv[])
{
    return std::vector<std::string>(argv + 1, argv + argc);
}

std::string write(const std::string &text, bool toError)
{
    std::FILE *to = toError ? stderr : stdout;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), to) == text.size() && std::fflush(to) == 0)
        return {};
    return std::strerror(errno);
}

} // namespace command_line
