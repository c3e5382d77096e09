// The text buffer and the scanner against floors measured in the same run.
#include "BenchSupport.h"

#include "buffer/TextBuffer.h"
#include "script/SphereScanner.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
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

// One buffer of the 100 MB script, read once and shared by the editing benchmarks.
CTextBuffer& LoadedBuffer() {
    static std::unique_ptr<CTextBuffer> buffer = [] {
        auto b = std::make_unique<CTextBuffer>();
        b->ReadFromFile(bench::ScriptFile(k100MB));
        return b;
    }();
    return *buffer;
}

void BM_ReadFloor(benchmark::State& state) {
    const std::string& path = bench::ScriptFile(std::size_t(state.range(0)));
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

void BM_ReadFromFile(benchmark::State& state) {
    const std::string& path = bench::ScriptFile(std::size_t(state.range(0)));
    for (auto _ : state) {
        CTextBuffer buffer;
        benchmark::DoNotOptimize(buffer.ReadFromFile(path));
    }
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

void ReportReadMemory(const char* self, std::size_t size) {
    const std::string& path = bench::ScriptFile(size);
    const std::string command = std::string(self) + " " + kMeasureFlag + " " + path;
    FILE* child = ::popen(command.c_str(), "r");
    std::size_t added = 0;
    if (!child || std::fscanf(child, "%zu", &added) != 1) added = 0;
    if (child) ::pclose(child);
    bench::ReportFigure("resident after ReadFromFile, " + std::to_string(size >> 20) + " MB",
                        "/ file size", double(added) / double(size), 1.5);
}

void BM_WriteFloor(benchmark::State& state) {
    const std::string& path = bench::ScriptFile(k100MB);
    CTextBuffer& buffer = LoadedBuffer();
    std::string bytes = buffer.CopyRange({0, 0}, {buffer.LineCount() - 1, 0});
    const std::string out = path + ".floor", temp = out + ".tmp";
    for (auto _ : state) {
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        for (std::size_t at = 0; at < bytes.size(); at += 1 << 20)
            benchmark::DoNotOptimize(
                ::write(fd, bytes.data() + at, std::min<std::size_t>(1 << 20, bytes.size() - at)));
        ::fsync(fd);
        ::close(fd);
        ::rename(temp.c_str(), out.c_str());
    }
    ::unlink(out.c_str());
}

void BM_WriteToFile(benchmark::State& state) {
    const std::string out = bench::ScriptFile(k100MB) + ".out";
    CTextBuffer& buffer = LoadedBuffer();
    for (auto _ : state)
        benchmark::DoNotOptimize(buffer.WriteToFile(out, -1, false));
    ::unlink(out.c_str());
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
    ReportReadMemory(argv[0], k10MB);
    ReportReadMemory(argv[0], k100MB);
    return bench::RunWithRatios(argc, argv,
                                {{"BM_ReadFromFile/10485760", "BM_ReadFloor/10485760", 1.4},
                                 {"BM_ReadFromFile/104857600", "BM_ReadFloor/104857600", 1.4},
                                 {"BM_WriteToFile", "BM_WriteFloor", 1.2},
                                 {"BM_ScanAllLines", "BM_SumBytesFloor", 2.5},
                                 {"BM_TypingInMiddleLine", "", 100.0, "us_per_char"},
                                 {"BM_UndoRedoPaste/redo:0", "", 10.0},
                                 {"BM_UndoRedoPaste/redo:1", "", 10.0}});
}
