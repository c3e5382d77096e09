// The text view on the 100 MB script in a 1280 x 800 view on the offscreen platform:
// the first layout and paint after the text is loaded, painting a screen, Ctrl+End from the
// top against the bare scanner, the handling of a single-line change far down the text, and
// the memory of the view's line tables against the file's size. With --huge, the 1.5 GB
// world save in an edit view: the first paint, Ctrl+End, a character typed at the end with
// its repaint, and the memory of the view's tables and of the text with its view.
#include "BenchSupport.h"

#include "buffer/TextBuffer.h"
#include "edit/EditView.h"
#include "script/SphereScanner.h"
#include "view/TextView.h"

#include <QApplication>
#include <QKeyEvent>

#include <filesystem>
#include <malloc.h>
#include <memory>

namespace {

constexpr std::size_t k100MB = 100u << 20;

// A view coloured by the SphereScript scanner, as the script view colours it.
template <class View> class CScanned : public View {
public:
    ::LineCookie ComputeLineColours(::LineCookie cookie, int line, ColourSpan* spans,
                                    int& count) override {
        return ScanSphereLine(this->LineText(line), this->LineLength(line), cookie, spans,
                              spans ? &count : nullptr);
    }
    ::LineCookie ComputeRunCookie(::LineCookie cookie, int first, int end) override {
        this->ForEachLineView(first, end, [&cookie](std::string_view text) {
            cookie = ScanSphereLine(text.data(), int(text.size()), cookie, nullptr, nullptr);
        });
        return cookie;
    }
};
using CScannedTextView = CScanned<CTextView>;
constexpr int ChangedLine = 3000000;

struct Fixture {
    std::string path;
    CTextBuffer buffer;
    std::unique_ptr<CTextView> view;
};

template <class View> std::unique_ptr<Fixture> Load(const std::string& path) {
    auto fixture = std::make_unique<Fixture>();
    fixture->path = path;
    fixture->buffer.ReadFromFile(path);
    fixture->view = std::make_unique<View>();
    fixture->view->AttachToBuffer(&fixture->buffer);
    fixture->view->resize(1280, 800);
    fixture->view->show();
    fixture->view->setFocus();
    QApplication::processEvents();
    return fixture;
}

// The buffer of the text this run measures and a shown view on it, made on first use and
// shared; gone before the application object is.
std::unique_ptr<Fixture> g_fixture;

Fixture& Loaded() {
    if (!g_fixture) g_fixture = Load<CScannedTextView>(bench::ScriptFile(k100MB));
    return *g_fixture;
}

void SendKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
}

// What the view does when a file has been read into its buffer: a reset, the scroll bars'
// ranges (the horizontal one from the widest line) and the first screen.
void BM_FirstPaintAfterLoad(benchmark::State& state) {
    Fixture& f = Loaded();
    for (auto _ : state) {
        f.view->OnBufferChanged(nullptr, nullptr, HintReset, -1);
        f.view->viewport()->repaint();
    }
    state.counters["lines"] = f.buffer.LineCount();
}

void BM_PaintScreen(benchmark::State& state) {
    Fixture& f = Loaded();
    f.view->ScrollToLine(f.buffer.LineCount() / 2, true);
    f.view->viewport()->repaint(); // cookies above the screen are computed once
    for (auto _ : state)
        f.view->viewport()->repaint();
    state.counters["lines"] = f.view->ScreenLines();
}

// The floor of Ctrl+End: the scanner's cookie over every line, nothing else.
void BM_ScanCookiesFloor(benchmark::State& state) {
    CTextBuffer& buffer = Loaded().buffer;
    for (auto _ : state) {
        LineCookie cookie = 0;
        for (int i = 0, n = buffer.LineCount(); i < n; ++i) {
            const std::string_view text = buffer.Line(i);
            cookie = ScanSphereLine(text.data(), int(text.size()), cookie, nullptr, nullptr);
        }
        benchmark::DoNotOptimize(cookie);
    }
}

void BM_CtrlEndFromTop(benchmark::State& state) {
    Fixture& f = Loaded();
    for (auto _ : state) {
        state.PauseTiming();
        SendKey(f.view.get(), Qt::Key_Home, Qt::ControlModifier);
        f.view->viewport()->repaint();
        // What the buffer sends after an edit of line 0: every cookie is stale.
        f.view->OnBufferChanged(nullptr, nullptr, HintSingleLine, 0);
        state.ResumeTiming();
        SendKey(f.view.get(), Qt::Key_End, Qt::ControlModifier);
        f.view->viewport()->repaint();
    }
    state.counters["lines"] = f.buffer.LineCount();
}

void BM_SingleLineChange(benchmark::State& state) {
    Fixture& f = Loaded();
    const int line = std::min(ChangedLine, f.buffer.LineCount() - 1);
    f.view->WidestLineLength();
    const ChangeContext context(ChangeContext::Kind::Insertion, {line, 0}, {line, 1});
    for (auto _ : state)
        f.view->OnBufferChanged(nullptr, &context, HintSingleLine | HintHorzRange, line);
    state.counters["line"] = line;
}

// One character typed at the end of the text, until its row is repainted; Backspace
// restores the text outside the timing.
void BM_TypeAtTheEnd(benchmark::State& state) {
    Fixture& f = Loaded();
    const int last = f.buffer.LineCount() - 1;
    f.view->JumpTo({last, f.buffer.LineLength(last)});
    QApplication::processEvents();
    for (auto _ : state) {
        SendKey(f.view.get(), Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::processEvents();
        state.PauseTiming();
        SendKey(f.view.get(), Qt::Key_Backspace);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["lines"] = f.buffer.LineCount();
}

// The heap memory that a new view on the loaded text takes once it has been laid out and
// has gone to the last line, as a share of the file's size: its line tables, and no less
// than they keep resident. The view is shown empty first, so that its window's own memory
// is not counted.
double ViewTablesPerFileByte() {
    Fixture& f = Loaded();
    CScannedTextView view;
    view.resize(1280, 800);
    view.show();
    QApplication::processEvents();
    const std::size_t before = mallinfo2().uordblks + mallinfo2().hblkhd;
    view.AttachToBuffer(&f.buffer);
    view.viewport()->repaint();
    SendKey(&view, Qt::Key_End, Qt::ControlModifier);
    view.viewport()->repaint();
    const std::size_t after = mallinfo2().uordblks + mallinfo2().hblkhd;
    return (double(after) - double(before)) / double(std::filesystem::file_size(f.path));
}

// The 1.5 GB world save, the text and an edit view on it measured once a repetition (the
// typed character 20 times).
int RunHuge(int argc, char** argv) {
    const std::string& path = bench::HugeWorldSave();
    if (path.empty()) return 1;
    const std::size_t before = bench::ResidentBytes();
    g_fixture = Load<CScanned<CEditView>>(path);
    SendKey(g_fixture->view.get(), Qt::Key_End, Qt::ControlModifier);
    g_fixture->view->viewport()->repaint();
    bench::ReportFigure(
        "resident of text and view at its end, 1.5 GB", "/ file size",
        double(bench::ResidentBytes() - before) / double(std::filesystem::file_size(path)), 1.5);
    // The benchmarks of the 100 MB text, on this run's text.
    const auto onHuge = [](void (*run)(benchmark::State&)) {
        return [run](benchmark::State& state, const std::string&) { run(state); };
    };
    bench::RegisterHuge("BM_HugeFirstPaintAfterLoad", onHuge(BM_FirstPaintAfterLoad), path);
    bench::RegisterHuge("BM_HugeScanCookiesFloor", onHuge(BM_ScanCookiesFloor), path);
    bench::RegisterHuge("BM_HugeCtrlEndFromTop", onHuge(BM_CtrlEndFromTop), path);
    benchmark::RegisterBenchmark("BM_HugeTypeAtTheEnd", BM_TypeAtTheEnd)
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(20)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
    const int result =
        bench::RunHugeWithRatios(argc, argv,
                                 {{"BM_HugeFirstPaintAfterLoad", "", 1000.0},
                                  {"BM_HugeCtrlEndFromTop", "BM_HugeScanCookiesFloor", 1.1},
                                  {"BM_HugeTypeAtTheEnd", "", 1000.0}});
    bench::ReportFigure("view tables / file size, 1.5 GB", "heap bytes", ViewTablesPerFileByte(),
                        0.02);
    g_fixture.reset();
    return result;
}

} // namespace

BENCHMARK(BM_FirstPaintAfterLoad)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PaintScreen)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ScanCookiesFloor)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_CtrlEndFromTop)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SingleLineChange)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (bench::TakeHugeFlag(argc, argv)) return RunHuge(argc, argv);
    const int result = bench::RunWithRatios(argc, argv,
                                            {{"BM_FirstPaintAfterLoad", "", 150.0},
                                             {"BM_PaintScreen", "", 0.5},
                                             {"BM_SingleLineChange", "", 500.0},
                                             {"BM_CtrlEndFromTop", "BM_ScanCookiesFloor", 1.1}});
    bench::ReportFigure("view tables / file size", "heap bytes", ViewTablesPerFileByte(), 0.02);
    g_fixture.reset();
    return result;
}
