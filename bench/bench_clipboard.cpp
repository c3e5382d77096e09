// Copying the whole 100 MB script to the clipboard (Ctrl+C of a text view) on the offscreen
// platform: the time it takes, and the peak resident memory it adds beside the buffer,
// measured in a fresh process of this program.
#include "BenchSupport.h"

#include "buffer/TextBuffer.h"
#include "view/TextView.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr std::size_t k100MB = 100u << 20;

struct Fixture {
    CTextBuffer buffer;
    CTextView view;
    TextPosition end;

    explicit Fixture(const std::string& path) {
        buffer.ReadFromFile(path);
        view.AttachToBuffer(&buffer);
        const int last = buffer.LineCount() - 1;
        end = {last, buffer.LineLength(last)};
    }
    bool Copy() { return view.CopyRangeToClipboard({0, 0}, end); }
};

void BM_Copy100MB(benchmark::State& state) {
    Fixture fixture(bench::ScriptFile(k100MB));
    for (auto _ : state)
        benchmark::DoNotOptimize(fixture.Copy());
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

void ReportCopyMemory(const char* self) {
    const std::string& path = bench::ScriptFile(k100MB);
    const std::string command = std::string(self) + " " + kMeasureFlag + " " + path;
    FILE* child = ::popen(command.c_str(), "r");
    std::size_t added = 0;
    if (!child || std::fscanf(child, "%zu", &added) != 1) added = 0;
    if (child) ::pclose(child);
    bench::ReportFigure("peak added by Copy, 100 MB", "/ selection size",
                        double(added) / double(std::filesystem::file_size(path)), 3.0);
}

} // namespace

BENCHMARK(BM_Copy100MB)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], kMeasureFlag) == 0)
        return MeasureCopyInThisProcess(argv[2]);
    ReportCopyMemory(argv[0]);
    return bench::RunWithRatios(argc, argv, {{"BM_Copy100MB", "", 1000.0}});
}
