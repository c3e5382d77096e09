// The Files tree expanding a folder of 10,000 entries, half folders and half files, up to
// its children shown: once as the SphereServer root lists it (files and hidden entries,
// every folder with a button), once as the home root does (folders only, each looked into
// for a subfolder).
#include "BenchSupport.h"

#include "workspace/FilesTree.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr int Entries = 10000;

struct BigFolder {
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/bench_filestree-XXXXXX")};
    BigFolder() {
        for (int i = 0; i < Entries; i += 2) {
            // Every other folder holds a subfolder.
            const QString folder = dir.filePath(QStringLiteral("folder %1").arg(i));
            QDir().mkpath(i % 4 == 0 ? folder + QStringLiteral("/sub") : folder);
            QFile file(dir.filePath(QStringLiteral("script %1.scp").arg(i + 1)));
            file.open(QIODevice::WriteOnly);
        }
    }
};

const BigFolder& TheFolder() {
    static const BigFolder folder;
    return folder;
}

void BM_ExpandTenThousand(benchmark::State& state) {
    const QString path = TheFolder().dir.path();
    for (auto _ : state) {
        CFilesTree tree;
        tree.AddRootFolder(path, unsigned(state.range(0)));
        tree.resize(300, 600);
        tree.show();
        QTreeWidgetItem* root = tree.topLevelItem(0);
        root->setExpanded(true);
        while (root->childCount() < 2)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents();
        if (tree.viewport()->grab().isNull()) state.SkipWithError("nothing drawn");
        state.PauseTiming();
        tree.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ExpandTenThousand)
    ->Arg(CFolderTree::ShowFiles | CFolderTree::ShowHidden)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::RunWithRatios(
        argc, argv, {{"BM_ExpandTenThousand/3", "", 500.0}, {"BM_ExpandTenThousand/0", "", 500.0}});
}
