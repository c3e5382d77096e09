// Start-up to the first painted frame: the program started with no argument (a new
// script in its window, its text painted) against a minimal Qt widgets program that shows
// one empty QMainWindow (startup_floor, linked with Qt Widgets alone), both measured in the
// same run as whole processes on the offscreen platform. Started with "--quillet" this
// program runs the application as the real one does and ends after its first frame.
#include "BenchSupport.h"

#include "app/QuilletApp.h"
#include "view/TextView.h"

#include <QApplication>
#include <QTimer>

#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

const char* g_self = nullptr;
std::string g_floor; // the minimal program, beside this one

// Ends the program right after the first paint of a widget that `isFrame` accepts.
class FirstFrameExit : public QObject {
public:
    explicit FirstFrameExit(bool (*isFrame)(QObject*)) : m_isFrame(isFrame) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_isFrame(watched))
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return false;
    }

private:
    bool (*m_isFrame)(QObject*);
};

int RunQuillet(int argc, char** argv) {
    QApplication application(argc, argv);
    // The script's text painted in its view is the first frame that shows the program.
    FirstFrameExit exit([](QObject* watched) {
        return watched->parent() && qobject_cast<CTextView*>(watched->parent()) != nullptr;
    });
    CQuilletApp quillet;
    if (!quillet.InitInstance({})) return 1;
    return QApplication::exec();
}

// Runs `program` with one argument (or none) and waits for it.
void RunChild(benchmark::State& state, const char* program, const char* argument) {
    char* argv[] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};
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
        RunChild(state, g_floor.c_str(), nullptr);
}

void BM_QuilletStartup(benchmark::State& state) {
    for (auto _ : state)
        RunChild(state, g_self, "--quillet");
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The default settings, so that no message box waits for an answer.
    qputenv("QUILLET_INI", QUILLET_DEFAULT_INI);
    if (argc == 2 && std::strcmp(argv[1], "--quillet") == 0) return RunQuillet(argc, argv);
    g_self = argv[0];
    const std::string self = argv[0];
    g_floor = self.substr(0, self.find_last_of('/') + 1) + "startup_floor";
    // The repetitions of the two interleave, so that both meet the same load of the machine.
    std::vector<char*> arguments(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave);
    return bench::RunWithRatios(int(arguments.size()), arguments.data(),
                                {{"BM_QuilletStartup", "BM_MinimalWindowStartup", 1.5}});
}
