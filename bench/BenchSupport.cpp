#include "BenchSupport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <unistd.h>

namespace bench {
namespace {

std::vector<std::string> CorpusLines() {
    std::vector<std::string> lines;
    namespace fs = std::filesystem;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(QUILLET_CORPUS_DIR, error)) {
        if (entry.path().extension() != ".scp") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            while (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
        }
    }
    if (lines.empty()) { // no corpus beside the project: realistic generated lines
        for (int i = 0; i < 1000; ++i) {
            lines.push_back("[ITEMDEF 0" + std::to_string(0x1000 + i) + "]");
            lines.push_back("DEFNAME=i_generated_" + std::to_string(i));
            lines.push_back("NAME=generated item // made for timing");
            lines.push_back("ON=@Create");
            lines.push_back("\tCOLOR=0" + std::to_string(i));
            lines.push_back("\tIF (<SRC.STR> > 50)");
            lines.push_back("\t\tMORE2=<EVAL <MORE2> + 1>");
            lines.push_back("\tENDIF");
        }
    }
    return lines;
}

struct TempFiles {
    std::map<std::size_t, std::string> paths;
    ~TempFiles() {
        for (const auto& [size, path] : paths)
            std::remove(path.c_str());
    }
};

TempFiles g_files;

} // namespace

const std::string& ScriptFile(std::size_t bytes) {
    auto found = g_files.paths.find(bytes);
    if (found != g_files.paths.end()) return found->second;
    static const std::vector<std::string> lines = CorpusLines();
    const std::string path =
        std::filesystem::temp_directory_path() /
        ("quillet-bench-" + std::to_string(getpid()) + "-" + std::to_string(bytes) + ".scp");
    std::string text;
    text.reserve(bytes + 4096);
    for (std::size_t i = 0; text.size() < bytes; i = (i + 1) % lines.size()) {
        text += lines[i];
        text += "\r\n";
    }
    std::ofstream(path, std::ios::binary).write(text.data(), std::streamsize(text.size()));
    return g_files.paths[bytes] = path;
}

const std::string& HugeWorldSave() {
    static const TempFiles file = [] {
        TempFiles made;
        std::ifstream in(QUILLET_CORPUS_DIR "/sphereworld.scp", std::ios::binary);
        const std::string world{std::istreambuf_iterator<char>(in), {}};
        if (world.empty()) {
            std::fprintf(stderr, "the corpus world save %s is missing\n",
                         QUILLET_CORPUS_DIR "/sphereworld.scp");
            return made;
        }
        const std::string path = std::filesystem::temp_directory_path() /
                                 ("quillet-bench-huge-" + std::to_string(getpid()) + ".scp");
        std::ofstream out(path, std::ios::binary);
        for (std::size_t written = 0; written < (std::size_t(1536) << 20); written += world.size())
            out.write(world.data(), std::streamsize(world.size()));
        made.paths[0] = path;
        return made;
    }();
    static const std::string none;
    return file.paths.empty() ? none : file.paths.begin()->second;
}

bool TakeHugeFlag(int& argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--huge") != 0) continue;
        std::copy(argv + i + 1, argv + argc, argv + i);
        --argc;
        return true;
    }
    return false;
}

std::size_t NumberFromChild(const char* self, const char* flag, const std::string& path) {
    const std::string command = std::string(self) + " " + flag + " " + path;
    FILE* child = ::popen(command.c_str(), "r");
    std::size_t number = 0;
    if (!child || std::fscanf(child, "%zu", &number) != 1) number = 0;
    if (child) ::pclose(child);
    return number;
}

std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t total = 0, resident = 0;
    statm >> total >> resident;
    return resident * std::size_t(sysconf(_SC_PAGESIZE));
}

void ReportFigure(const std::string& name, const std::string& basis, double value, double target) {
    const char* collected = std::getenv("QUILLET_BENCH_RATIOS");
    std::FILE* table = collected ? std::fopen(collected, "a") : nullptr;
    for (std::FILE* out : {stdout, table}) {
        if (out)
            std::fprintf(out, "%-44s %-46s %10.2f %10.2f %s\n", name.c_str(), basis.c_str(), value,
                         target, value <= target ? "ok" : "MISSED");
    }
    if (table) std::fclose(table);
}

namespace {

// Console output as usual, keeping the median run of each benchmark for the figures.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    // "BM_Name/arg" without the repetition suffix.
    static std::string Key(const Run& run) {
        const std::string& args = run.run_name.args;
        return run.run_name.function_name + (args.empty() ? "" : "/" + args);
    }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.aggregate_name == "median") medians.insert_or_assign(Key(run), run);
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, Run> medians;
};

} // namespace

int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
    // The repetitions of all benchmarks interleave, so that a figure and its floor meet the
    // same load of the machine (and of its disk).
    std::vector<char*> arguments(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave);
    argc = int(arguments.size());
    argv = arguments.data();
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-44s %-46s %10s %10s\n", "figure", "basis (floor)", "value", "target");
    for (const Ratio& r : ratios) {
        const auto a = reporter.medians.find(r.name);
        if (a == reporter.medians.end()) continue;
        const auto value = [&](const benchmark::BenchmarkReporter::Run& run) {
            if (r.counter.empty()) return run.GetAdjustedRealTime();
            const auto counter = run.counters.find(r.counter);
            return counter == run.counters.end() ? -1.0 : double(counter->second);
        };
        if (r.floor.empty()) {
            const std::string unit =
                r.counter.empty() ? benchmark::GetTimeUnitString(a->second.time_unit) : r.counter;
            ReportFigure(r.name, "median " + unit, value(a->second), r.target);
            continue;
        }
        const auto b = reporter.medians.find(r.floor);
        if (b == reporter.medians.end() || value(b->second) <= 0) continue;
        char floor[64];
        std::snprintf(floor, sizeof floor, " (%.3g %s)", value(b->second),
                      r.counter.empty() ? benchmark::GetTimeUnitString(b->second.time_unit)
                                        : r.counter.c_str());
        ReportFigure(r.name, "/ " + r.floor + floor, value(a->second) / value(b->second), r.target);
    }
    benchmark::Shutdown();
    return 0;
}

int RunHugeWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
    std::vector<char*> arguments(argv, argv + argc);
    char filter[] = "--benchmark_filter=Huge";
    arguments.push_back(filter);
    return RunWithRatios(int(arguments.size()), arguments.data(), ratios);
}

} // namespace bench
