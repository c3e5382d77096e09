// The outline of the world save (tens of thousands of sections) against one scanner pass
// over the same lines: the copy on the UI thread, the whole build, and the Script tree from
// a new document to its filled model.
#include "BenchSupport.h"

#include "buffer/TextBuffer.h"
#include "script/QuilletDoc.h"
#include "script/SphereScanner.h"
#include "workspace/OutlineModel.h"
#include "workspace/ScriptOutline.h"
#include "workspace/ScriptTree.h"

#include <QApplication>
#include <QElapsedTimer>

#include <memory>

namespace {

const std::string kWorldSave = QUILLET_CORPUS_DIR "/sphereworld.scp";

CQuilletDoc& WorldSave() {
    static std::unique_ptr<CQuilletDoc> document = [] {
        auto d = std::make_unique<CQuilletDoc>();
        d->Buffer().ReadFromFile(kWorldSave);
        return d;
    }();
    return *document;
}

void BM_ScannerPass(benchmark::State& state) {
    CTextBuffer& buffer = WorldSave().Buffer();
    for (auto _ : state) {
        LineCookie cookie = 0;
        for (int i = 0, n = buffer.LineCount(); i < n; ++i)
            cookie =
                ScanSphereLine(buffer.LineText(i), buffer.LineLength(i), cookie, nullptr, nullptr);
        benchmark::DoNotOptimize(cookie);
    }
    state.counters["lines"] = buffer.LineCount();
}

void BM_OutlineCopy(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(OutlineLines::From(WorldSave().Buffer()));
}

void BM_OutlineBuild(benchmark::State& state) {
    std::size_t sections = 0;
    for (auto _ : state)
        sections = BuildOutline(OutlineLines::From(WorldSave().Buffer())).sections.size();
    state.counters["sections"] = double(sections);
}

// From a script becoming active to its sections in the tree's model, with the worker
// thread and the event loop in between.
void BM_ScriptTree(benchmark::State& state) {
    CScriptTree tree;
    int misc = 0;
    for (auto _ : state) {
        tree.SetDocument(&WorldSave());
        while (tree.IsUpdating())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.PauseTiming();
        misc = tree.Model().rowCount(tree.Model().index(4, 0));
        tree.SetDocument(nullptr);
        state.ResumeTiming();
    }
    state.counters["misc"] = misc;
}

} // namespace

BENCHMARK(BM_ScannerPass)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_OutlineCopy)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_OutlineBuild)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ScriptTree)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::RunWithRatios(
        argc, argv,
        {{"BM_OutlineBuild", "BM_ScannerPass", 1.0}, {"BM_ScriptTree", "BM_ScannerPass", 1.0}});
}
