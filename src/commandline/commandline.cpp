#include "commandline.h"

#include "version.h"

namespace {

const char kUsage[] = "Usage: glyphsmith [--help | --version]\n"
                      "Rewrites a player name in look-alike Unicode letters.\n"
                      "Without options, opens the program's window.\n\n"
                      "  -h, --help     show this help and exit (also /? on Windows)\n"
                      "  -v, --version  show the version and exit\n";

// Whether the argument is one of the switches: in any case where the
// system's programs take them so (Windows), else as written.
bool isOneOf(std::string argument, std::initializer_list<const char *> names)
{
    if (command_line::kSwitchesInAnyCase)
        for (char &c : argument)
            c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    for (const char *name : names)
        if (argument == name)
            return true;
    return false;
}

// An argument as it can be shown on a terminal: control bytes, which a
// terminal would act on, as \xHH, and the bidirectional controls U+202A to
// U+202E and U+2066 to U+2069, which would turn the rest of the line
// around, as \uHHHH; all else as typed.
std::string escaped(const std::string &argument)
{
    static const char kHex[] = "0123456789abcdef";
    std::string shown;
    for (size_t i = 0; i < argument.size(); ++i) {
        const auto byte = static_cast<unsigned char>(argument[i]);
        const auto next = [&](size_t n) {
            return i + n < argument.size() ? static_cast<unsigned char>(argument[i + n]) : 0;
        };
        // U+2000 to U+207F are E2 80 xx and E2 81 xx in UTF-8.
        const unsigned point = byte == 0xE2 && (next(1) & 0xFE) == 0x80 && (next(2) & 0xC0) == 0x80
                                   ? 0x2000 + ((next(1) & 1u) << 6) + (next(2) & 0x3Fu)
                                   : 0;
        if (byte < 0x20 || byte == 0x7F) {
            shown += std::string("\\x") + kHex[byte >> 4] + kHex[byte & 15];
        } else if ((point >= 0x202A && point <= 0x202E) || (point >= 0x2066 && point <= 0x2069)) {
            shown += std::string("\\u20") + kHex[(point >> 4) & 15] + kHex[point & 15];
            i += 2;
        } else {
            shown += argument[i];
        }
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
    if (isOneOf(argument, {"--version", "-v", "/version"}))
        return answer(GLYPHSMITH_PRODUCT_NAME " " GLYPHSMITH_VERSION "\n", false, 0);
    const std::string reason = arguments.size() == 1
                                   ? "glyphsmith: unknown argument '" + escaped(argument) + "'\n"
                                   : std::string("glyphsmith: give one option at most\n");
    return answer(reason + kUsage, true, 2);
}
