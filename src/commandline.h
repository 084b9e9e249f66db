#pragma once

// The program's command line, answered without a display: --help and
// --version are answered, anything else is refused with the usage. Returns
// the exit code. The windowed program and the Windows console program
// (glyphsmith.com, which cmd and PowerShell prefer when the user types
// "glyphsmith") share it.
int answerCommandLine(int argc, char *argv[]);
