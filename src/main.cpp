#include "common/application.h"
#include "program.h"
#include "version.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

namespace {

void printUsage(std::FILE *to)
{
    std::fputs(qPrintable(QCoreApplication::translate(
                   "main", "Usage: glyphsmith [--help | --version]\n"
                           "Rewrites a player name in look-alike Unicode letters.\n"
                           "Without options, opens the program's window.\n\n"
                           "  -h, --help     show this help and exit\n"
                           "  -v, --version  show the version and exit\n")),
               to);
}

// Answers --help and --version without a display; anything else on the
// command line is refused. Returns the exit code.
int answerCommandLine(const char *argument)
{
    if (!std::strcmp(argument, "--help") || !std::strcmp(argument, "-h")) {
        printUsage(stdout);
        return 0;
    }
    if (!std::strcmp(argument, "--version") || !std::strcmp(argument, "-v")) {
        std::puts(GLYPHSMITH_PRODUCT_NAME " " GLYPHSMITH_VERSION);
        return 0;
    }
    std::fprintf(stderr, "glyphsmith: %s\n",
                 qPrintable(QCoreApplication::translate("main", "unknown argument '%1'")
                                .arg(QString::fromLocal8Bit(argument))));
    printUsage(stderr);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 2)
        return answerCommandLine(argv[1]);
    if (argc > 2) {
        printUsage(stderr);
        return 2;
    }
    QApplication app(argc, argv);
    common::setUpApplication();
    ProgramWindows windows(name_slots::SlotStore::forUser());
    windows.main().show();
    return app.exec();
}
