#include "commandline.h"

#include "version.h"

namespace {

const char kUsage[] = "Usage: glyphsmith [--help | --version]\n"
                      "Rewrites a player name in look-alike Unicode letters.\n"
                      "Without options, opens the program's window.\n\n"
                      "  -h, --help     show this help and exit (also /? on Windows)\n"
                      "  -v, --version  show the version and exit\n";

bool isOneOf(const std::string &argument, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        if (argument == name)
            return true;
    return false;
}

// An argument as it can be shown on a terminal: control bytes, which a
// terminal would act on, as \xHH; all else as typed.
std::string escaped(const std::string &argument)
{
    static const char kHex[] = "0123456789abcdef";
    std::string shown;
    for (const char c : argument) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            shown += std::string("\\x") + kHex[byte >> 4] + kHex[byte & 15];
        else
            shown += c;
    }
    return shown;
}

// Writes the answer and checks that it arrived: a full disk or a closed pipe
// is an error, not a silent success.
int answer(const std::string &text, bool toError, int code)
{
    const std::string error = command_line::write(text, toError);
    if (error.empty())
        return code;
    (void)command_line::write("glyphsmith: could not write the answer: " + error + "\n", true);
    return 1;
}

} // namespace

int answerCommandLine(int argc, char *argv[])
{
    const std::vector<std::string> arguments = command_line::arguments(argc, argv);
    const std::string argument = arguments.size() == 1 ? arguments[0] : std::string();
    if (isOneOf(argument, {"--help", "-h", "/?", "-?", "/help"}))
        return answer(kUsage, false, 0);
    if (isOneOf(argument, {"--version", "-v"}))
        return answer(GLYPHSMITH_PRODUCT_NAME " " GLYPHSMITH_VERSION "\n", false, 0);
    const std::string reason = arguments.size() == 1
                                   ? "glyphsmith: unknown argument '" + escaped(argument) + "'\n"
                                   : std::string("glyphsmith: give one option at most\n");
    return answer(reason + kUsage, true, 2);
}
