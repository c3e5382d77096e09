// The text view on the 100 MB script in a 1280 x 800 view on the offscreen platform:
// the first layout and paint after the text is loaded, painting a screen, Ctrl+End from the
// top against the bare scanner, the handling of a single-line change far down the text, and
// the memory of the view's line tables against the file's size.
#include "BenchSupport.h"

#include "buffer/TextBuffer.h"
#include "script/SphereScanner.h"
#include "view/TextView.h"

#include <QApplication>
#include <QKeyEvent>

#include <filesystem>
#include <malloc.h>
#include <memory>

namespace {

constexpr std::size_t k100MB = 100u << 20;

// The text view coloured by the SphereScript scanner, as the script view colours it.
class CScannedTextView : public CTextView {
public:
    ::LineCookie ComputeLineColours(::LineCookie cookie, int line, ColourSpan* spans,
                                    int& count) override {
        return ScanSphereLine(LineText(line), LineLength(line), cookie, spans,
                              spans ? &count : nullptr);
    }
};
constexpr int ChangedLine = 3000000;

struct Fixture {
    CTextBuffer buffer;
    std::unique_ptr<CScannedTextView> view;
};

// The buffer and a shown view on it, made on first use and shared; gone before the
// application object is.
std::unique_ptr<Fixture> g_fixture;

Fixture& Loaded() {
    if (!g_fixture) {
        g_fixture = std::make_unique<Fixture>();
        g_fixture->buffer.ReadFromFile(bench::ScriptFile(k100MB));
        g_fixture->view = std::make_unique<CScannedTextView>();
        g_fixture->view->AttachToBuffer(&g_fixture->buffer);
        g_fixture->view->resize(1280, 800);
        g_fixture->view->show();
        g_fixture->view->setFocus();
        QApplication::processEvents();
    }
    return *g_fixture;
}

void SendKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
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
        for (int i = 0, n = buffer.LineCount(); i < n; ++i)
            cookie =
                ScanSphereLine(buffer.LineText(i), buffer.LineLength(i), cookie, nullptr, nullptr);
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
    return (double(after) - double(before)) /
           double(std::filesystem::file_size(bench::ScriptFile(k100MB)));
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
    const int result = bench::RunWithRatios(argc, argv,
                                            {{"BM_FirstPaintAfterLoad", "", 150.0},
                                             {"BM_PaintScreen", "", 3.0},
                                             {"BM_SingleLineChange", "", 500.0},
                                             {"BM_CtrlEndFromTop", "BM_ScanCookiesFloor", 1.1}});
    bench::ReportFigure("view tables / file size", "heap bytes", ViewTablesPerFileByte(), 0.02);
    g_fixture.reset();
    return result;
}
