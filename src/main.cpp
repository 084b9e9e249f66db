#include "common/application.h"
#include "program.h"
#include "version.h"

#include <QApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

QString usage()
{
    return QCoreApplication::translate("main",
                                       "Usage: glyphsmith [--help | --version]\n"
                                       "Rewrites a player name in look-alike Unicode letters.\n"
                                       "Without options, opens the program's window.\n\n"
                                       "  -h, --help     show this help and exit\n"
                                       "  -v, --version  show the version and exit\n");
}

#ifdef Q_OS_WIN
// A GUI program started from a console has no standard streams of its own:
// the answer goes to the console it was typed in, where there is one. A
// stream already redirected (to a file or a pipe) is kept.
void useParentConsole()
{
    const bool redirected = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN;
    if (redirected || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    std::FILE *ignored = nullptr;
    freopen_s(&ignored, "CONOUT$", "w", stdout);
    if (GetFileType(GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_UNKNOWN)
        freopen_s(&ignored, "CONOUT$", "w", stderr);
}
#else
void useParentConsole() {}
#endif

// Writes the answer and checks that it arrived: a full disk or a closed
// pipe is an error, not a silent success. Returns the exit code.
int write(std::FILE *to, const QString &text, int code)
{
    const QByteArray bytes = text.toLocal8Bit();
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to) == size_t(bytes.size()) &&
        std::fflush(to) == 0)
        return code;
    const int error = errno;
    std::fprintf(stderr, "glyphsmith: %s\n",
                 qPrintable(QCoreApplication::translate("main", "could not write the answer: %1")
                                .arg(QString::fromLocal8Bit(std::strerror(error)))));
    return 1;
}

// Answers --help and --version without a display; anything else on the
// command line is refused. Returns the exit code.
int answerCommandLine(int argc, char *argv[])
{
    useParentConsole();
    const char *argument = argc == 2 ? argv[1] : "";
    if (!std::strcmp(argument, "--help") || !std::strcmp(argument, "-h"))
        return write(stdout, usage(), 0);
    if (!std::strcmp(argument, "--version") || !std::strcmp(argument, "-v"))
        return write(stdout, QStringLiteral(GLYPHSMITH_PRODUCT_NAME " " GLYPHSMITH_VERSION "\n"),
                     0);
    QString refusal = usage();
    if (argc == 2)
        refusal.prepend(QCoreApplication::translate("main", "glyphsmith: unknown argument '%1'\n")
                            .arg(QString::fromLocal8Bit(argument)));
    return write(stderr, refusal, 2);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1)
        return answerCommandLine(argc, argv);
    QApplication app(argc, argv);
    common::setUpApplication();
    ProgramWindows windows(name_slots::SlotStore::forUser());
    windows.main().show();
    return app.exec();
}
