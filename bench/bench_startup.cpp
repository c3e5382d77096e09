// Start-up to the first painted frame: the quillet program started with no argument (a new
// script in its window, its text painted) against a minimal Qt widgets program that shows
// one empty QMainWindow (startup_floor, linked with Qt Widgets alone), both measured in the
// same run as whole processes on the offscreen platform. QUILLET_EXIT_AFTER_FIRST_FRAME
// makes the program quit right after its first frame, as the floor quits after its own.
#include "BenchSupport.h"

#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace {

std::string g_floor; // the minimal program, beside this one

// Runs `program` with no argument and waits for it.
void RunChild(benchmark::State& state, const char* program) {
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) {
        state.SkipWithError("cannot start the child program");
        return;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        state.SkipWithError("the child program failed");
}

void BM_MinimalWindowStartup(benchmark::State& state) {
    for (auto _ : state)
        RunChild(state, g_floor.c_str());
}

void BM_QuilletStartup(benchmark::State& state) {
    for (auto _ : state)
        RunChild(state, QUILLET_PROGRAM);
}

} // namespace

BENCHMARK(BM_MinimalWindowStartup)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_QuilletStartup)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The default settings, so that no message box waits for an answer.
    setenv("QUILLET_INI", QUILLET_DEFAULT_INI, 1);
    setenv("QUILLET_EXIT_AFTER_FIRST_FRAME", "1", 1);
    const std::string self = argv[0];
    g_floor = self.substr(0, self.find_last_of('/') + 1) + "startup_floor";
    // RunWithRatios interleaves the repetitions of the two.
    return bench::RunWithRatios(argc, argv,
                                {{"BM_QuilletStartup", "BM_MinimalWindowStartup", 1.3}});
}
