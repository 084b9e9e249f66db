// Runs programs in turn many times and prints, for each, the median time
// from its start to its first paint, which it reports by a line on standard
// output, and its median peak resident memory, with their ratios to the
// first program's. A ratio is the median of the rounds' own ratios, each
// against the baseline's run in the same round: a machine's load that
// drifts over seconds slows both alike. The order of the programs turns by
// one place every round, so that each program runs in each place equally
// often and never right after itself: a program starts differently after
// another, and faster after itself. The baseline also runs a second time as
// a control, whose ratio shows what this machine's noise alone gives.
// Usage: startup_driver RUNS BASELINE PROGRAM...

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Sample
{
    double millis;
    double megabytes;
};

[[noreturn]] void fail(const char *program, const char *what)
{
    std::fprintf(stderr, "%s %s\n", program, what);
    std::exit(1);
}

// The time until the program's first line arrives: its first paint.
double millisToFirstLine(int from, std::chrono::steady_clock::time_point start)
{
    char c = 0;
    while (read(from, &c, 1) == 1)
        if (c == '\n')
            return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                             start)
                .count();
    return -1;
}

Sample runOnce(const char *program)
{
    int out[2];
    if (pipe(out) != 0)
        fail(program, "could not be given a pipe");
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl(program, program, static_cast<char *>(nullptr));
        _exit(127);
    }
    close(out[1]);
    const double millis = pid < 0 ? -1 : millisToFirstLine(out[0], start);
    close(out[0]);
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        fail(program, "did not run to its end");
    if (millis < 0)
        fail(program, "ended without reporting its first paint");
    return {millis, double(usage.ru_maxrss) / 1024.0};
}

double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3)
        return 2;
    const int runs = std::atoi(argv[1]);
    std::vector<std::string> programs{argv[2], argv[2]};
    programs.insert(programs.end(), argv + 3, argv + argc);
    const size_t count = programs.size();
    std::vector<std::vector<double>> millis(count), megabytes(count);
    for (const std::string &program : programs)
        runOnce(program.c_str()); // warm the file cache
    for (int r = 0; r < runs; ++r)
        for (size_t i = 0; i < count; ++i) {
            const size_t p = (i + size_t(r)) % count;
            const Sample s = runOnce(programs[p].c_str());
            millis[p].push_back(s.millis);
            megabytes[p].push_back(s.megabytes);
        }
    const auto ratio = [runs](const std::vector<double> &of, const std::vector<double> &to) {
        std::vector<double> each(runs);
        for (int r = 0; r < runs; ++r)
            each[r] = of[r] / to[r];
        return median(each);
    };
    std::printf("%-26s %12s %14s %10s %10s\n", "program", "first paint", "peak RSS", "time",
                "memory");
    for (size_t p = 0; p < count; ++p) {
        std::string name = programs[p].substr(programs[p].find_last_of('/') + 1);
        if (p == 1)
            name += " (again)";
        std::printf("%-26s %9.1f ms %11.1f MB %9.2fx %9.2fx\n", name.c_str(), median(millis[p]),
                    median(megabytes[p]), ratio(millis[p], millis[0]),
                    ratio(megabytes[p], megabytes[0]));
    }
    return 0;
}
