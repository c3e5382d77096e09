// The edit view on the 100 MB script in a 1280 x 800 view on the offscreen platform: one
// typed character with its change notification and repaint (also on a 1,000-line script),
// a Find over the whole text that matches nothing against a plain case-insensitive scan of
// the same lines, and Replace All of 100,000 words by longer ones.
#include "BenchSupport.h"

#include "buffer/TextBuffer.h"
#include "edit/EditView.h"
#include "edit/ReplaceDialog.h"
#include "framework/CommandIds.h"
#include "framework/MessageBox.h"
#include "framework/ModalDialog.h"
#include "script/SphereScanner.h"
#include "view/TextSearch.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPaintEvent>

#include <memory>

namespace {

constexpr std::size_t k100MB = 100u << 20;
constexpr int ReplaceCount = 100000;

// The edit view coloured by the SphereScript scanner, as the script view is; it counts the
// paint events and the scrolls it receives.
class BenchEditView : public CEditView {
public:
    int paints = 0;

    ::LineCookie ComputeLineColours(::LineCookie cookie, int line, ColourSpan* spans,
                                    int& count) override {
        return ScanSphereLine(LineText(line), LineLength(line), cookie, spans,
                              spans ? &count : nullptr);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        CEditView::paintEvent(event);
    }
};

struct Fixture {
    CTextBuffer buffer;
    std::unique_ptr<BenchEditView> view;

    void Show() {
        view = std::make_unique<BenchEditView>();
        view->AttachToBuffer(&buffer);
        view->resize(1280, 800);
        view->show();
        view->setFocus();
        QApplication::processEvents();
    }
};

std::unique_ptr<Fixture> g_big;
std::unique_ptr<Fixture> g_small;

Fixture& Big() {
    if (!g_big) {
        g_big = std::make_unique<Fixture>();
        g_big->buffer.ReadFromFile(bench::ScriptFile(k100MB));
        g_big->Show();
    }
    return *g_big;
}

Fixture& Small() {
    if (!g_small) {
        g_small = std::make_unique<Fixture>();
        g_small->buffer.ResetToEmpty();
        std::string text;
        for (int i = 0; i < 1000; ++i)
            text += "ON=@Click\r\n\tSAY Hello there, traveller " + std::to_string(i) + "\r\n";
        TextPosition end;
        g_small->buffer.InsertTextAt(nullptr, {0, 0}, text.substr(0, text.size() - 2), end,
                                     ActionUnknown, false);
        g_small->Show();
    }
    return *g_small;
}

void SendKey(QWidget* widget, Qt::Key key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
}

// One typed character in the middle of the text, until its row is repainted; Backspace
// restores the text outside the timing.
void TypeInTheMiddle(benchmark::State& state, Fixture& f) {
    const int line = f.buffer.LineCount() / 2;
    f.view->SetCaretPosition({line, f.buffer.LineLength(line) / 2});
    f.view->EnsureVisible(f.view->CaretPosition());
    QApplication::processEvents();
    f.view->paints = 0;
    for (auto _ : state) {
        SendKey(f.view.get(), Qt::Key_X, QStringLiteral("x"));
        QApplication::processEvents(); // the change's repaint
        state.PauseTiming();
        SendKey(f.view.get(), Qt::Key_Backspace);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["lines"] = f.buffer.LineCount();
    // Each character and each Backspace repaints once.
    state.counters["paints"] =
        benchmark::Counter(f.view->paints / 2.0, benchmark::Counter::kAvgIterations);
}

void BM_TypeCharacter100MB(benchmark::State& state) {
    TypeInTheMiddle(state, Big());
}

void BM_TypeCharacter1000Lines(benchmark::State& state) {
    TypeInTheMiddle(state, Small());
}

// Needles no line holds, searched from the top with match case off: one starting with a
// rare letter, one with a letter that nearly every line holds.
const std::string RareStart = "QZXJ_NEVER_THERE";
const std::string CommonStart = "ENDX_NEVER_THERE";

void FindNoMatch(benchmark::State& state, const std::string& needle) {
    Fixture& f = Big();
    for (auto _ : state) {
        TextPosition found;
        benchmark::DoNotOptimize(f.view->FindTextFrom(needle, {0, 0}, 0, false, found));
    }
}

void BM_FindNoMatchRareStart(benchmark::State& state) {
    FindNoMatch(state, RareStart);
}

void BM_FindNoMatchCommonStart(benchmark::State& state) {
    FindNoMatch(state, CommonStart);
}

// The floor: each line scanned byte by byte, comparing the upper-cased byte with the first
// byte of the needle and, on a hit, the rest of it.
void BM_PlainCaseInsensitiveScanFloor(benchmark::State& state) {
    CTextBuffer& buffer = Big().buffer;
    const std::string& needle = CommonStart;
    for (auto _ : state) {
        int hits = 0;
        for (int i = 0, n = buffer.LineCount(); i < n; ++i) {
            const std::string_view line = buffer.Line(i);
            for (std::size_t at = 0; at + needle.size() <= line.size(); ++at) {
                if (UpperCaseByte(line[at]) != needle[0]) continue;
                std::size_t k = 1;
                while (k < needle.size() && UpperCaseByte(line[at + k]) == needle[k])
                    ++k;
                hits += k == needle.size();
            }
        }
        benchmark::DoNotOptimize(hits);
    }
}

// Replace All through the dialog: 100,000 lines get the word "zorblat", which becomes
// "zorblatter". The message at the end is counted, not shown.
void BM_ReplaceAll100000(benchmark::State& state) {
    Fixture& f = Big();
    const int lines = f.buffer.LineCount();
    const int step = lines / ReplaceCount;
    int messages = 0;
    const MessageHandler previousMessages =
        SetMessageHandler([&](QWidget*, const QString&, const QString&, QMessageBox::Icon,
                              QMessageBox::StandardButtons) {
            ++messages;
            return QMessageBox::Ok;
        });
    const DialogHandler previousDialogs = SetDialogHandler([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("findWhat"))->setText("zorblat");
        dialog.findChild<QLineEdit*>(QStringLiteral("replaceWith"))->setText("zorblatter");
        dialog.findChild<QAbstractButton*>(QStringLiteral("replaceAll"))->click();
        return int(QDialog::Rejected);
    });
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < ReplaceCount; ++i) {
            TextPosition end;
            f.buffer.InsertTextAt(nullptr, {i * step, 0}, "zorblat ", end, ActionUnknown, false);
        }
        f.view->SetCaretPosition({0, 0});
        f.view->SetSelection({0, 0}, {0, 0});
        QApplication::processEvents();
        f.view->paints = 0;
        messages = 0;
        state.ResumeTiming();

        f.view->ExecuteCommand(ID_EDIT_REPLACE);
        QApplication::processEvents(); // the one repaint at the end

        state.PauseTiming();
        state.counters["paints"] = f.view->paints;
        state.counters["messages"] = messages;
        // Undo of the last replacement still works.
        TextPosition position;
        f.buffer.UndoGroup(position);
        f.buffer.UndoGroup(position);
        state.counters["undone"] = f.buffer.Line(position.line).substr(0, 8) == "zorblat ";
        // Remove the words again, unrecorded, for the next round.
        for (int i = 0; i < ReplaceCount; ++i) {
            const std::string_view line = f.buffer.Line(i * step);
            const int length = line.substr(0, 8) == "zorblat " ? 8 : 11;
            f.buffer.RawDelete(nullptr, {i * step, 0}, {i * step, length});
        }
        state.ResumeTiming();
    }
    SetDialogHandler(previousDialogs);
    SetMessageHandler(previousMessages);
}

} // namespace

BENCHMARK(BM_TypeCharacter100MB)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_TypeCharacter1000Lines)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FindNoMatchRareStart)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FindNoMatchCommonStart)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainCaseInsensitiveScanFloor)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ReplaceAll100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int result = bench::RunWithRatios(
        argc, argv,
        {{"BM_TypeCharacter100MB", "", 2.0},
         {"BM_TypeCharacter1000Lines", "", 200.0},
         {"BM_ReplaceAll100000", "", 10000.0},
         {"BM_ReplaceAll100000", "", 1.0, "paints"},
         {"BM_ReplaceAll100000", "", 1.0, "messages"},
         {"BM_FindNoMatchRareStart", "BM_PlainCaseInsensitiveScanFloor", 2.0},
         {"BM_FindNoMatchCommonStart", "BM_PlainCaseInsensitiveScanFloor", 2.0}});
    g_big.reset();
    g_small.reset();
    return result;
}
