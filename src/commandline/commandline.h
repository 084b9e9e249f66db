#pragma once

// The program's command line, answered without a display and without Qt:
// --help and --version (and, as Windows users type them, /? and -?) are
// answered, anything else is refused with the usage. Returns the exit code.
// The windowed program and the Windows console program (glyphsmith.com,
// which cmd and PowerShell prefer when the user types "glyphsmith") share it.

#include <string>
#include <vector>

int answerCommandLine(int argc, char *argv[]);

// Marks the process, for as long as it runs, as the program running from
// its folder: on Windows a mutex named for the folder, which that folder's
// installer and uninstaller look for; nothing elsewhere.
void markRunning();

namespace command_line {

// Whether the system's programs take switches in any case, as Windows' do.
extern const bool kSwitchesInAnyCase;

// What the platform gives: the arguments after the program's name, in
// UTF-8, and the answer written, in UTF-8, to standard output or error.
std::vector<std::string> arguments(int argc, char *argv[]);
// Writes all of text; empty when it arrived, else the system's reason.
std::string write(const std::string &text, bool toError);

} // namespace command_line
