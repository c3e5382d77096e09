#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>
#include <vector>

// Inputs and reporting shared by the benchmark programs.
namespace bench {

// A SphereScript file of about `bytes` bytes with CR LF line ends, made by repeating the
// corpus scripts (or generated lines when the corpus is missing). Made once per run, in
// the system's temporary folder, and removed at exit.
const std::string& ScriptFile(std::size_t bytes);

// A world save of about 1.5 GB, made once per run in the temporary folder by repeating the
// corpus world save, and removed at exit; empty, said on stderr, when the corpus is missing.
// Programs measure it only when started with --huge (`make bench-huge`).
const std::string& HugeWorldSave();
// Whether the program was started with --huge; takes the flag out of the arguments.
bool TakeHugeFlag(int& argc, char** argv);

// Runs this program again as `self flag path` and reads the number it prints: a figure
// measured in a fresh process, so that memory freed by earlier work cannot hide any of it.
// 0 when the child fails.
std::size_t NumberFromChild(const char* self, const char* flag, const std::string& path);

// Resident memory of this process, in bytes.
std::size_t ResidentBytes();

// A figure checked against its target: the ratio of medians `name` / `floor`; with no
// floor, the median of `name` itself in its time unit; with a `counter`, that counter's
// median instead of the time.
struct Ratio {
    std::string name;
    std::string floor;
    double target;
    std::string counter = {};
};

// Runs the registered benchmarks with median aggregates, their repetitions interleaved, then
// prints each figure beside its target.
int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios);

// Registers `run(state, path)` as a benchmark of the huge file: one iteration a repetition,
// three repetitions, in milliseconds.
template <typename Run> void RegisterHuge(const char* name, Run run, const std::string& path) {
    benchmark::RegisterBenchmark(name, run, path)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
}

// RunWithRatios for the benchmarks whose names hold "Huge" only.
int RunHugeWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios);

// Prints one figure measured outside Google Benchmark (resident memory) beside its
// target. With QUILLET_BENCH_RATIOS naming a file, every figure is also appended to it,
// so that `make bench` ends with one table of all of them.
void ReportFigure(const std::string& name, const std::string& basis, double value, double target);

} // namespace bench
