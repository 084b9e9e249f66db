#pragma once

// The program's windows: the main window, and the About and Help windows it
// asks for. Each secondary window is created on first use and kept for the
// run; it is shown modeless and without an owner, so it outlives a closed
// main window.

#include "main_window/form1.h"

#include <memory>

class Form2;
class Form21;

class ProgramWindows
{
public:
    explicit ProgramWindows(name_slots::SlotStore store);
    ~ProgramWindows();

    Form1 &main() { return m_main; }
    void showAbout();
    void showHelp();

private:
    Form1 m_main;
    std::unique_ptr<Form2> m_about;
    std::unique_ptr<Form21> m_help;
};
