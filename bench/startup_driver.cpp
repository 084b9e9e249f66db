// Runs programs in turn many times and prints, for each, the median wall time
// from start to exit and the median peak resident memory, with their ratios
// to the first program's. A ratio is the median of the runs' own ratios, each
// against the baseline's run just before it: a machine's load that drifts
// over seconds slows both alike. Usage: startup_driver RUNS BASELINE PROGRAM...

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

Sample runOnce(const char *program)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(program, program, static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s did not run to its end\n", program);
        std::exit(1);
    }
    const std::chrono::duration<double, std::milli> wall = std::chrono::steady_clock::now() - start;
    return {wall.count(), double(usage.ru_maxrss) / 1024.0};
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
    const int programs = argc - 2;
    std::vector<std::vector<double>> millis(programs), megabytes(programs);
    for (int p = 0; p < programs; ++p)
        runOnce(argv[2 + p]); // warm the file cache
    for (int r = 0; r < runs; ++r)
        for (int p = 0; p < programs; ++p) { // interleaved, so drift hits all alike
            const Sample s = runOnce(argv[2 + p]);
            millis[p].push_back(s.millis);
            megabytes[p].push_back(s.megabytes);
        }
    std::printf("%-22s %12s %14s %10s %10s\n", "program", "first paint", "peak RSS", "time",
                "memory");
    const auto ratios = [runs](const std::vector<double> &of, const std::vector<double> &to) {
        std::vector<double> each(runs);
        for (int r = 0; r < runs; ++r)
            each[r] = of[r] / to[r];
        return median(each);
    };
    for (int p = 0; p < programs; ++p) {
        const std::string name = argv[2 + p];
        std::printf("%-22s %9.1f ms %11.1f MB %9.2fx %9.2fx\n",
                    name.substr(name.find_last_of('/') + 1).c_str(), median(millis[p]),
                    median(megabytes[p]), ratios(millis[p], millis[0]),
                    ratios(megabytes[p], megabytes[0]));
    }
    return 0;
}
