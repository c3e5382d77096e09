// Copying the whole 100 MB script to the clipboard (Ctrl+C of a text view) on the offscreen
// platform: the time it takes, and the peak resident memory it adds beside the buffer,
// measured in a fresh process of this program. With --huge, the same for the 1.5 GB world
// save.
#include "BenchSupport.h"

#include "buffer/TextBuffer.h"
#include "view/TextView.h"

#include <QApplication>
#include <QClipboard>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::size_t k100MB = 100u << 20;

struct Fixture {
    std::string path;
    CTextBuffer buffer;
    CTextView view;
    TextPosition end;

    explicit Fixture(const std::string& file) : path(file) {
        buffer.ReadFromFile(path);
        view.AttachToBuffer(&buffer);
        const int last = buffer.LineCount() - 1;
        end = {last, buffer.LineLength(last)};
    }
    bool Copy() { return view.CopyRangeToClipboard({0, 0}, end); }
};

// The file of the last benchmark, read once; released before the application ends.
std::unique_ptr<Fixture> g_loaded;

Fixture& Loaded(const std::string& path) {
    if (!g_loaded || g_loaded->path != path) {
        g_loaded.reset();
        g_loaded = std::make_unique<Fixture>(path);
    }
    return *g_loaded;
}

// Each copy replaces the one before on the clipboard, which frees it, as a user's next copy
// does.
void BM_Copy100MB(benchmark::State& state) {
    Fixture& fixture = Loaded(bench::ScriptFile(k100MB));
    for (auto _ : state)
        if (!fixture.Copy()) state.SkipWithError("the copy failed");
}

// The clipboard is emptied after each copy, outside the time, so that two copies of the
// huge text are never held at once.
void HugeCopy(benchmark::State& state, const std::string& path) {
    Fixture& fixture = Loaded(path);
    for (auto _ : state) {
        if (!fixture.Copy()) state.SkipWithError("the copy failed");
        state.PauseTiming();
        QGuiApplication::clipboard()->clear();
        state.ResumeTiming();
    }
}

// A figure of /proc/self/status, in bytes.
std::size_t StatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field, 0) == 0) return std::stoull(line.substr(std::strlen(field))) << 10;
    }
    return 0;
}

// The peak resident memory that one copy adds, measured in a fresh process so that memory
// freed by earlier work cannot hide it. The peak mark is reset after reading the file, so
// that the read's own peak does not count; where the kernel refuses the reset, that peak
// counts too and the figure is too high, never too low.
constexpr const char* kMeasureFlag = "--peak-added-by-copy";

int MeasureCopyInThisProcess(const char* path) {
    Fixture fixture(path);
    std::ofstream("/proc/self/clear_refs") << "5";
    const std::size_t before = StatusBytes("VmRSS:");
    if (!fixture.Copy()) return 1;
    std::printf("%zu\n", StatusBytes("VmHWM:") - before);
    return 0;
}

void ReportCopyMemory(const char* self, const std::string& path, const std::string& label) {
    const std::size_t added = bench::NumberFromChild(self, kMeasureFlag, path);
    bench::ReportFigure("peak added by Copy, " + label, "/ selection size",
                        double(added) / double(std::filesystem::file_size(path)), 3.0);
}

// The 1.5 GB world save, one copy a repetition; the time's target keeps the rate of the
// 100 MB one.
int RunHuge(int argc, char** argv) {
    const std::string& path = bench::HugeWorldSave();
    if (path.empty()) return 1;
    ReportCopyMemory(argv[0], path, "1.5 GB");
    bench::RegisterHuge("BM_HugeCopy", HugeCopy, path);
    return bench::RunHugeWithRatios(argc, argv, {{"BM_HugeCopy", "", 15000.0}});
}

} // namespace

BENCHMARK(BM_Copy100MB)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], kMeasureFlag) == 0)
        return MeasureCopyInThisProcess(argv[2]);
    const bool huge = bench::TakeHugeFlag(argc, argv);
    if (!huge) ReportCopyMemory(argv[0], bench::ScriptFile(k100MB), "100 MB");
    const int result = huge ? RunHuge(argc, argv)
                            : bench::RunWithRatios(argc, argv, {{"BM_Copy100MB", "", 1000.0}});
    g_loaded.reset();
    return result;
}
