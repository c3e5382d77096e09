// Find in Files and the definitions index over ten copies of the corpus, against grep and a
// scanner pass over the same files, measured in the same run.
#include "BenchSupport.h"

#include "find/DefinitionIndex.h"
#include "find/FileWalk.h"
#include "find/TextMatcher.h"
#include "script/SphereScanner.h"

#include <fcntl.h>
#include <filesystem>
#include <map>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr const char* kPatterns = "*.scp;*.ini";
constexpr const char* kCommonWord = "DEFNAME";
constexpr const char* kRareWord = "i_sword_long";

// Ten copies of the corpus scripts in the temporary folder, made once and removed at exit.
class CorpusCopies {
public:
    CorpusCopies()
        : m_root(fs::temp_directory_path() / ("quillet-bench-find-" + std::to_string(getpid()))) {
        // File by file into folders of our own: the corpus folder itself is read-only.
        for (int i = 0; i < 10; ++i) {
            const fs::path copy = m_root / ("copy" + std::to_string(i));
            fs::create_directories(copy);
            for (const fs::directory_entry& file : fs::directory_iterator(QUILLET_CORPUS_DIR))
                fs::copy_file(file.path(), copy / file.path().filename());
        }
    }
    ~CorpusCopies() {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    std::string Path() const { return m_root.string(); }

private:
    fs::path m_root;
};

const std::string& Tree() {
    static const CorpusCopies copies;
    static const std::string path = copies.Path();
    return path;
}

// The lines a results pane would hold.
struct Result {
    std::string path;
    int line;
    std::string text;
};

// Walks the tree and matches `word` in every file, as Find in Files does, until `found`
// returns false.
void FindInFiles(const char* word, const std::function<bool(const Result&)>& found) {
    const CTextMatcher matcher(word, 0);
    std::atomic<bool> stop{false};
    std::string bytes, error;
    WalkFiles(
        Tree(), FilePatterns::Parse(kPatterns),
        [&](const std::string& path) {
            if (!ReadWholeFile(path, bytes, error)) return;
            matcher.ForEachMatchingLine(bytes, [&](const LineMatch& match) {
                stop = !found({path, match.line, std::string(match.text)});
                return !stop;
            });
        },
        &stop);
}

void BM_GrepFloor(benchmark::State& state, const char* word) {
    const std::string& tree = Tree();
    const char* argv[] = {"grep", "-r", "-i", "-F", "-c", word, tree.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t child = 0;
        int status = 0;
        if (posix_spawnp(&child, "grep", &actions, nullptr, const_cast<char**>(argv), environ) !=
                0 ||
            waitpid(child, &status, 0) != child) {
            state.SkipWithError("grep could not run");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
}

void BM_FindInFiles(benchmark::State& state, const char* word) {
    std::vector<Result> results;
    for (auto _ : state) {
        results.clear();
        FindInFiles(word, [&](const Result& result) {
            results.push_back(result);
            return true;
        });
    }
    state.counters["lines"] = double(results.size());
}

void BM_FirstMatch(benchmark::State& state, const char* word) {
    for (auto _ : state)
        FindInFiles(word, [](const Result&) { return false; });
}

// What colouring every line of the same files costs, read as the index reads them.
void BM_ScanFloor(benchmark::State& state) {
    std::string bytes, error;
    for (auto _ : state) {
        LineCookie cookie = 0;
        WalkFiles(Tree(), FilePatterns::Parse(kPatterns), [&](const std::string& path) {
            if (!ReadWholeFile(path, bytes, error)) return;
            for (std::size_t start = 0; start <= bytes.size();) {
                const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
                cookie = ScanSphereLine(bytes.data() + start, int(end - start), cookie, nullptr,
                                        nullptr);
                start = end + 1;
            }
        });
        benchmark::DoNotOptimize(cookie);
    }
}

void BM_IndexBuild(benchmark::State& state) {
    std::size_t files = 0;
    for (auto _ : state) {
        CDefinitionIndex index;
        files = index.Refresh(Tree(), kPatterns).files;
        state.PauseTiming(); // freeing the index is no part of building it
        index = CDefinitionIndex();
        state.ResumeTiming();
    }
    state.counters["files"] = double(files);
}

const CDefinitionIndex& BuiltIndex() {
    static const CDefinitionIndex index = [] {
        CDefinitionIndex built;
        built.Refresh(Tree(), kPatterns);
        return built;
    }();
    return index;
}

// A lookup of a name defined twenty times, and one where an open document (a large script
// that defines the name) stands in for its file.
void BM_IndexLookup(benchmark::State& state) {
    const CDefinitionIndex& index = BuiltIndex();
    std::map<std::string, std::string_view> overrides;
    std::string open;
    if (state.range(0)) {
        std::string error;
        const std::string path = Tree() + "/copy0/sphere_monsters.scp";
        ReadWholeFile(path, open, error);
        overrides[path] = open;
    }
    std::size_t sites = 0;
    for (auto _ : state)
        sites = index.Lookup("c_man", overrides).size();
    state.counters["sites"] = double(sites);
}

} // namespace

// Medians of five runs of at least 0.2 s each, in wall-clock time: grep works in a child
// process.
benchmark::internal::Benchmark* Timed(benchmark::internal::Benchmark* benchmark,
                                      benchmark::TimeUnit unit = benchmark::kMillisecond) {
    return benchmark->Unit(unit)->UseRealTime()->MinTime(0.2)->Repetitions(5)->ReportAggregatesOnly(
        true);
}

int main(int argc, char** argv) {
    for (const auto& [kind, word] : {std::pair{"common", kCommonWord}, {"rare", kRareWord}}) {
        Timed(benchmark::RegisterBenchmark((std::string("BM_GrepFloor/") + kind).c_str(),
                                           BM_GrepFloor, word));
        Timed(benchmark::RegisterBenchmark((std::string("BM_FindInFiles/") + kind).c_str(),
                                           BM_FindInFiles, word));
        Timed(benchmark::RegisterBenchmark((std::string("BM_FirstMatch/") + kind).c_str(),
                                           BM_FirstMatch, word));
    }
    Timed(benchmark::RegisterBenchmark("BM_ScanFloor", BM_ScanFloor));
    Timed(benchmark::RegisterBenchmark("BM_IndexBuild", BM_IndexBuild));
    Timed(benchmark::RegisterBenchmark("BM_IndexLookup", BM_IndexLookup), benchmark::kMicrosecond)
        ->ArgName("open_document")
        ->Arg(0)
        ->Arg(1);
    const int result = bench::RunWithRatios(argc, argv,
                                            {{"BM_FindInFiles/common", "BM_GrepFloor/common", 2.0},
                                             {"BM_FindInFiles/rare", "BM_GrepFloor/rare", 2.0},
                                             {"BM_FirstMatch/common", "", 100.0},
                                             {"BM_FirstMatch/rare", "", 100.0},
                                             {"BM_IndexBuild", "BM_ScanFloor", 1.5},
                                             {"BM_IndexLookup/open_document:0", "", 1000.0},
                                             {"BM_IndexLookup/open_document:1", "", 1000.0}});
    return result;
}
