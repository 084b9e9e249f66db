#include "program.h"

#include "dialogs/form2.h"
#include "dialogs/form21.h"

namespace {

template <typename Window> void showSecondary(std::unique_ptr<Window> &window)
{
    if (!window)
        window = std::make_unique<Window>();
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

ProgramWindows::ProgramWindows(name_slots::SlotStore store) : m_main(std::move(store))
{
    QObject::connect(&m_main, &Form1::aboutChosen, &m_main, [this] { showAbout(); });
    QObject::connect(&m_main, &Form1::helpChosen, &m_main, [this] { showHelp(); });
}

ProgramWindows::~ProgramWindows() = default;

void ProgramWindows::showAbout()
{
    showSecondary(m_about);
}

void ProgramWindows::showHelp()
{
    showSecondary(m_help);
}
