// The text buffer and the scanner against floors measured in the same run.
#include "BenchSupport.h"

#include "buffer/TextBuffer.h"
#include "script/SphereScanner.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t k100MB = 100u << 20;
constexpr std::size_t k10MB = 10u << 20;

class NullView : public CBufferObserver {
public:
    void OnBufferChanged(CBufferObserver*, const ChangeContext* context, unsigned, int) override {
        if (context) context->AdjustPosition(caret);
    }
    void OnEditActionDone(int, std::string_view) override {}
    TextPosition caret;
};

// One buffer a file, read once and shared by the benchmarks that only use it.
CTextBuffer& Loaded(const std::string& path) {
    static std::map<std::string, std::unique_ptr<CTextBuffer>> buffers;
    std::unique_ptr<CTextBuffer>& buffer = buffers[path];
    if (!buffer) {
        buffer = std::make_unique<CTextBuffer>();
        buffer->ReadFromFile(path);
    }
    return *buffer;
}

CTextBuffer& LoadedBuffer() {
    return Loaded(bench::ScriptFile(k100MB));
}

// One read() of the whole file into one block, and a count of its lines.
void ReadFloor(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        struct stat info {};
        ::fstat(fd, &info);
        std::unique_ptr<char[]> bytes(new char[std::size_t(info.st_size)]);
        std::size_t done = 0;
        for (ssize_t n; (n = ::read(fd, bytes.get() + done, info.st_size - done)) > 0;)
            done += std::size_t(n);
        ::close(fd);
        std::size_t lines = 1;
        for (const char *p = bytes.get(), *end = p + done;
             (p = static_cast<const char*>(std::memchr(p, '\n', end - p))); ++p)
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
}

void ReadFromFile(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        CTextBuffer buffer;
        if (!buffer.ReadFromFile(path)) state.SkipWithError(buffer.LastError().c_str());
    }
}

void BM_ReadFloor(benchmark::State& state) {
    ReadFloor(state, bench::ScriptFile(std::size_t(state.range(0))));
}

void BM_ReadFromFile(benchmark::State& state) {
    ReadFromFile(state, bench::ScriptFile(std::size_t(state.range(0))));
}

// Resident memory that reading a file adds, measured in a fresh process of this program
// so that memory freed by earlier benchmarks cannot hide it.
constexpr const char* kMeasureFlag = "--resident-added-by-read";

int MeasureReadInThisProcess(const char* path) {
    const std::size_t before = bench::ResidentBytes();
    CTextBuffer buffer;
    if (!buffer.ReadFromFile(path)) return 1;
    std::printf("%zu\n", bench::ResidentBytes() - before);
    return 0;
}

void ReportReadMemory(const char* self, const std::string& path, const std::string& label) {
    const std::size_t added = bench::NumberFromChild(self, kMeasureFlag, path);
    bench::ReportFigure("resident after ReadFromFile, " + label, "/ file size",
                        double(added) / double(std::filesystem::file_size(path)), 1.5);
}

// The whole text written to a new file with as few write calls as the system allows, synced
// and renamed over the old one, and the rename made durable, as a save that survives a crash
// must do.
void WriteFloor(benchmark::State& state, const std::string& path) {
    CTextBuffer& buffer = Loaded(path);
    const int last = buffer.LineCount() - 1;
    const std::string bytes = buffer.CopyRange({0, 0}, {last, buffer.LineLength(last)});
    const std::string out = path + ".floor", temp = out + ".tmp";
    for (auto _ : state) {
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        for (std::size_t at = 0; at < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
            if (n <= 0) break;
            at += std::size_t(n);
        }
        ::fsync(fd);
        ::close(fd);
        ::rename(temp.c_str(), out.c_str());
        const int folder = ::open(std::filesystem::path(out).parent_path().c_str(), O_RDONLY);
        ::fsync(folder);
        ::close(folder);
    }
    ::unlink(out.c_str());
}

void WriteToFile(benchmark::State& state, const std::string& path) {
    const std::string out = path + ".out";
    CTextBuffer& buffer = Loaded(path);
    for (auto _ : state)
        if (!buffer.WriteToFile(out, -1, false)) state.SkipWithError(buffer.LastError().c_str());
    ::unlink(out.c_str());
}

void BM_WriteFloor(benchmark::State& state) {
    WriteFloor(state, bench::ScriptFile(k100MB));
}

void BM_WriteToFile(benchmark::State& state) {
    WriteToFile(state, bench::ScriptFile(k100MB));
}

// The 1.5 GB world save, once a repetition.
int RunHuge(int argc, char** argv) {
    const std::string& path = bench::HugeWorldSave();
    if (path.empty()) return 1;
    ReportReadMemory(argv[0], path, "1.5 GB");
    bench::RegisterHuge("BM_HugeReadFloor", ReadFloor, path);
    bench::RegisterHuge("BM_HugeReadFromFile", ReadFromFile, path);
    bench::RegisterHuge("BM_HugeWriteFloor", WriteFloor, path);
    bench::RegisterHuge("BM_HugeWriteToFile", WriteToFile, path);
    return bench::RunHugeWithRatios(argc, argv,
                                    {{"BM_HugeReadFromFile", "BM_HugeReadFloor", 1.5},
                                     {"BM_HugeWriteToFile", "BM_HugeWriteFloor", 1.2}});
}

void BM_SumBytesFloor(benchmark::State& state) {
    CTextBuffer& buffer = LoadedBuffer();
    for (auto _ : state) {
        unsigned sum = 0;
        for (int i = 0, n = buffer.LineCount(); i < n; ++i) {
            const char* text = buffer.LineText(i);
            for (int k = 0, len = buffer.LineLength(i); k < len; ++k)
                sum += static_cast<unsigned char>(text[k]);
        }
        benchmark::DoNotOptimize(sum);
    }
}

void BM_ScanAllLines(benchmark::State& state) {
    CTextBuffer& buffer = LoadedBuffer();
    std::vector<ColourSpan> spans;
    for (auto _ : state) {
        LineCookie cookie = 0;
        for (int i = 0, n = buffer.LineCount(); i < n; ++i) {
            const int length = buffer.LineLength(i);
            if (spans.size() < std::size_t(2 * length)) spans.resize(2 * length);
            int count = 0;
            cookie = ScanSphereLine(buffer.LineText(i), length, cookie, spans.data(), &count);
        }
        benchmark::DoNotOptimize(cookie);
    }
}

void BM_TypingInMiddleLine(benchmark::State& state) {
    CTextBuffer& buffer = LoadedBuffer();
    NullView view;
    buffer.AttachView(&view);
    const int line = buffer.LineCount() / 2;
    for (auto _ : state) {
        TextPosition at{line, 0}, end;
        for (int i = 0; i < 10000; ++i) {
            buffer.OpenUndoGroup(true);
            buffer.InsertTextAt(&view, at, "x", end, ActionTyping);
            buffer.CloseUndoGroup(&view);
            at = end;
        }
        state.PauseTiming();
        buffer.DeleteRange(nullptr, {line, 0}, at, ActionDelete);
        state.ResumeTiming();
    }
    buffer.DetachView(&view);
    // Elapsed seconds / (0.01 x iterations): the microseconds of one of the 10,000 characters.
    state.counters["us_per_char"] = benchmark::Counter(
        0.01, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

std::string PasteText() {
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "\tCOLOR=0481 // pasted line\r\n";
    return text;
}

void BM_UndoRedoPaste(benchmark::State& state) {
    const bool redo = state.range(0) == 1;
    CTextBuffer& buffer = LoadedBuffer();
    NullView view;
    buffer.AttachView(&view);
    const std::string text = PasteText();
    TextPosition end, caret;
    buffer.InsertTextAt(&view, {buffer.LineCount() / 2, 0}, text, end, ActionPaste);
    for (auto _ : state) {
        if (redo) {
            state.PauseTiming();
            buffer.UndoGroup(caret);
            state.ResumeTiming();
            buffer.RedoGroup(caret);
        } else {
            buffer.UndoGroup(caret);
            state.PauseTiming();
            buffer.RedoGroup(caret);
            state.ResumeTiming();
        }
    }
    buffer.UndoGroup(caret);
    buffer.DetachView(&view);
}

} // namespace

BENCHMARK(BM_ReadFloor)
    ->Arg(k10MB)
    ->Arg(k100MB)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadFromFile)
    ->Arg(k10MB)
    ->Arg(k100MB)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_WriteFloor)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_WriteToFile)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SumBytesFloor)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ScanAllLines)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_TypingInMiddleLine)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_UndoRedoPaste)
    ->ArgName("redo")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kMeasureFlag) == 0)
        return MeasureReadInThisProcess(argv[2]);
    if (bench::TakeHugeFlag(argc, argv)) return RunHuge(argc, argv);
    ReportReadMemory(argv[0], bench::ScriptFile(k10MB), "10 MB");
    ReportReadMemory(argv[0], bench::ScriptFile(k100MB), "100 MB");
    return bench::RunWithRatios(argc, argv,
                                {{"BM_ReadFromFile/10485760", "BM_ReadFloor/10485760", 1.4},
                                 {"BM_ReadFromFile/104857600", "BM_ReadFloor/104857600", 1.4},
                                 {"BM_WriteToFile", "BM_WriteFloor", 1.2},
                                 {"BM_ScanAllLines", "BM_SumBytesFloor", 2.5},
                                 {"BM_TypingInMiddleLine", "", 100.0, "us_per_char"},
                                 {"BM_UndoRedoPaste/redo:0", "", 10.0},
                                 {"BM_UndoRedoPaste/redo:1", "", 10.0}});
}
