// Saves slot 1 over and over through the main window's own Save command,
// alternating two names of different lengths, until it is killed. Prints
// "saving" once the window is up and "saved" once the first save is whole,
// so that the killer can time its kills to this disk's speed.
// Usage: save_loop SLOT_FOLDER

#include "main_window/form1.h"
#include "unicode_text/textfile.h"

#include <QApplication>
#include <QLineEdit>
#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    Form1 form(name_slots::SlotStore(QString::fromLocal8Bit(argv[1])));
    form.setWarningHandler([](const QString &message) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        std::exit(3);
    });
    auto *text1 = form.findChild<QLineEdit *>(QStringLiteral("Text1"));
    // The long name first: the folder starts out holding the short one.
    const QString names[] = {QString(300, QChar(u'L')), QStringLiteral("Short")};
    std::puts("saving");
    std::fflush(stdout);
    for (unsigned i = 0;; ++i) {
        text1->setText(names[i % 2]);
        form.convert();
        form.saveSlot(1);
        if (i == 0) {
            std::puts("saved");
            std::fflush(stdout);
        }
    }
}
