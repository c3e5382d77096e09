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

// Resident memory of this process, in bytes.
std::size_t ResidentBytes();

// Runs the registered benchmarks with median aggregates, then prints each ratio of
// medians (`name` / `floor`) beside its target.
struct Ratio {
    std::string name;
    std::string floor;
    double target;
};
int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios);

} // namespace bench
