// Times start to first painted frame of the program's window against a bare
// Qt window of the same size (that window with one line of text, and with
// the program's texts in plain labels and buttons, its floor): each
// run starts a fresh first_frame_probe process, the kinds taking turns, and
// measures from the spawn to the probe's signal byte.
// usage: first_frame_bench PROBE [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

double runOnce(const char *probe, const char *kind)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        std::exit(1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    char *const args[] = {const_cast<char *>(probe), const_cast<char *>(kind), nullptr};

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, probe, &actions, nullptr, args, environ) != 0) {
        std::perror("posix_spawn");
        std::exit(1);
    }
    close(pipeFds[1]);
    char byte = 0;
    const bool painted = read(pipeFds[0], &byte, 1) == 1;
    const auto end = std::chrono::steady_clock::now();
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    if (!painted) {
        std::fprintf(stderr, "%s %s never painted\n", probe, kind);
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROBE [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 21;
    const char *kinds[] = {"bare", "text", "labels", "form1"};
    constexpr int kKinds = 4;
    for (const char *kind : kinds)
        runOnce(argv[1], kind); // warm the file cache for all
    std::vector<double> times[kKinds];
    for (int i = 0; i < runs; ++i) {
        for (int k = 0; k < kKinds; ++k)
            times[k].push_back(runOnce(argv[1], kinds[k]));
    }
    const double bare = median(times[0]), text = median(times[1]), labels = median(times[2]),
                 form1 = median(times[3]);
    std::printf("first frame, median of %d runs each, taking turns:\n", runs);
    std::printf("  bare QWidget          %8.2f ms\n", bare);
    std::printf("  QWidget with a label  %8.2f ms\n", text);
    std::printf("  plain widgets         %8.2f ms\n", labels);
    std::printf("  Form1                 %8.2f ms\n", form1);
    std::printf("  Form1 / bare          %8.3f x\n", form1 / bare);
    std::printf("  Form1 / with a label  %8.3f x\n", form1 / text);
    std::printf("  Form1 / plain widgets %8.3f x\n", form1 / labels);
    return 0;
}
