// Printing: `--pdf` of a 1,000-line corpus script, of one line of 2 MB, and of the 5.4 MB
// world save (once, with the growth of resident memory while its pages are written), and
// Print Preview of the 1,000-line script up to its pages being shown.
#include "BenchSupport.h"

#include "app/PdfCommandLine.h"
#include "framework/PrinterSetup.h"
#include "script/QuilletDoc.h"
#include "script/QuilletView.h"
#include "view/PrintJob.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

const QString kThousandLines = QStringLiteral(QUILLET_CORPUS_DIR "/messages.scp");
const QString kWorldSave = QStringLiteral(QUILLET_CORPUS_DIR "/sphereworld.scp");

QTemporaryDir& Scratch() {
    static QTemporaryDir dir;
    return dir;
}

bool Export(const QString& script) {
    QString errors;
    QTextStream stream(&errors);
    return ExportScriptAsPdf({script, Scratch().filePath(QStringLiteral("out.pdf"))}, stream) == 0;
}

void BM_PdfOfThousandLineScript(benchmark::State& state) {
    for (auto _ : state)
        if (!Export(kThousandLines)) state.SkipWithError("the corpus script could not be printed");
}
BENCHMARK(BM_PdfOfThousandLineScript)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_PreviewOfThousandLineScript(benchmark::State& state) {
    CQuilletDoc document;
    if (!document.OnOpenDocument(kThousandLines)) state.SkipWithError("no corpus script");
    CQuilletView view(document);
    view.OnInitialUpdate();
    QPrintPreviewWidget preview(&SharedPrinter());
    QObject::connect(&preview, &QPrintPreviewWidget::paintRequested,
                     [&](QPrinter* printer) { RunPrintJob(view, *printer, PrintJobOptions()); });
    preview.resize(800, 1000);
    preview.show();
    for (auto _ : state) {
        preview.updatePreview();
        QCoreApplication::processEvents();
        if (preview.pageCount() < 2) state.SkipWithError("no pages in the preview");
    }
}
BENCHMARK(BM_PreviewOfThousandLineScript)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// One line of 2 MB of words, over a hundred pages: laid out once, not once a page.
void BM_PdfOfOneLongLine(benchmark::State& state) {
    const QString script = Scratch().filePath(QStringLiteral("long.scp"));
    QFile file(script);
    if (file.open(QIODevice::WriteOnly))
        for (int word = 0; word < 300000; ++word)
            file.write("w" + QByteArray::number(word % 1000) + ' ');
    file.close();
    for (auto _ : state)
        if (!Export(script)) state.SkipWithError("the long line could not be printed");
}
BENCHMARK(BM_PdfOfOneLongLine)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// The world save's one run, measured here rather than as a median of several.
double g_worldSeconds = -1;
double g_worldGrowthMB = -1;

void BM_PdfOfWorldSave(benchmark::State& state) {
    for (auto _ : state) {
        // Resident memory every 50 ms; the growth from a fifth of the run to its end shows
        // whether memory follows the pages written.
        std::atomic<bool> done = false;
        std::vector<std::size_t> samples;
        std::thread sampler([&] {
            while (!done) {
                samples.push_back(bench::ResidentBytes());
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        });
        QElapsedTimer timer;
        timer.start();
        const bool ok = Export(kWorldSave);
        g_worldSeconds = double(timer.elapsed()) / 1000;
        done = true;
        sampler.join();
        if (!ok || samples.size() < 5) {
            state.SkipWithError("the world save could not be printed");
            continue;
        }
        const std::size_t early = samples[samples.size() / 5];
        const std::size_t peak =
            *std::max_element(samples.begin() + long(samples.size() / 5), samples.end());
        g_worldGrowthMB = double(peak - std::min(early, peak)) / (1 << 20);
    }
}
BENCHMARK(BM_PdfOfWorldSave)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int status = bench::RunWithRatios(argc, argv,
                                            {{"BM_PdfOfThousandLineScript", "", 1000.0},
                                             {"BM_PreviewOfThousandLineScript", "", 1000.0},
                                             {"BM_PdfOfOneLongLine", "", 5000.0}});
    if (g_worldSeconds >= 0) {
        bench::ReportFigure("BM_PdfOfWorldSave", "one run, s", g_worldSeconds, 30);
        bench::ReportFigure("BM_PdfOfWorldSave memory growth", "MB, a fifth of the run to end",
                            g_worldGrowthMB, 16);
    }
    return status;
}
