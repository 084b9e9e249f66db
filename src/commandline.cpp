#include "commandline.h"

#include "version.h"

#include <QCoreApplication>
#include <QString>
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

// An argument as it can be shown on a terminal: control bytes, which a
// terminal would act on, as \xHH.
QString escaped(const char *argument)
{
    QByteArray shown;
    for (const char *c = argument; *c; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte < 0x20 || byte == 0x7F)
            shown += QByteArray("\\x") + QByteArray::number(byte, 16).rightJustified(2, '0');
        else
            shown += *c;
    }
    return QString::fromLocal8Bit(shown);
}

// Writes the answer and checks that it arrived: a full disk or a closed
// pipe is an error, not a silent success. Returns the exit code.
int write(std::FILE *to, const QString &text, int code)
{
    const QByteArray bytes = text.toLocal8Bit();
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to) == size_t(bytes.size()) &&
        std::fflush(to) == 0)
        return code;
#ifdef Q_OS_WIN
    // A pipe closed by its reader reads as one; Windows' runtime calls it
    // an invalid argument.
    const int error = errno == EINVAL ? EPIPE : errno;
#else
    const int error = errno;
#endif
    std::fprintf(stderr, "glyphsmith: %s\n",
                 qPrintable(QCoreApplication::translate("main", "could not write the answer: %1")
                                .arg(QString::fromLocal8Bit(std::strerror(error)))));
    return 1;
}

} // namespace

int answerCommandLine(int argc, char *argv[])
{
    useParentConsole();
    const char *argument = argc == 2 ? argv[1] : "";
    if (!std::strcmp(argument, "--help") || !std::strcmp(argument, "-h"))
        return write(stdout, usage(), 0);
    if (!std::strcmp(argument, "--version") || !std::strcmp(argument, "-v"))
        return write(stdout, QStringLiteral(GLYPHSMITH_PRODUCT_NAME " " GLYPHSMITH_VERSION "\n"),
                     0);
    const QString reason =
        argc == 2 ? QCoreApplication::translate("main", "glyphsmith: unknown argument '%1'\n")
                        .arg(escaped(argument))
                  : QCoreApplication::translate("main", "glyphsmith: give one option at most\n");
    return write(stderr, reason + usage(), 2);
}
