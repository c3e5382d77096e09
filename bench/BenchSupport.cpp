#include "BenchSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t total = 0, resident = 0;
    statm >> total >> resident;
    return resident * std::size_t(sysconf(_SC_PAGESIZE));
}

namespace {

// Console output as usual, keeping the median of each benchmark for the ratios.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    // "BM_Name/arg" without the repetition suffix.
    static std::string Key(const Run& run) {
        const std::string& args = run.run_name.args;
        return run.run_name.function_name + (args.empty() ? "" : "/" + args);
    }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.aggregate_name == "median") medians[Key(run)] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> medians;
};

} // namespace

int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-44s %-30s %8s %8s\n", "ratio of medians", "floor", "ratio", "target");
    for (const Ratio& r : ratios) {
        const auto a = reporter.medians.find(r.name), b = reporter.medians.find(r.floor);
        if (a == reporter.medians.end() || b == reporter.medians.end() || b->second <= 0) continue;
        const double ratio = a->second / b->second;
        std::printf("%-44s %-30s %8.2f %7.1fx %s\n", r.name.c_str(), r.floor.c_str(), ratio,
                    r.target, ratio <= r.target ? "ok" : "MISSED");
    }
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
