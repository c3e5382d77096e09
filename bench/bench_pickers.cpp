// The Art Picker on a client of today's size: an index of 0x13FDC records and an art file
// of about 60 MB with 16,384 static tiles. Opening it up to the first grid drawn, and one
// scroll step with its redraw.
#include "BenchSupport.h"
#include "ClientFileWriters.h"

#include "framework/SettingsStore.h"
#include "pickers/ArtCanvas.h"
#include "pickers/ArtPicker.h"
#include "prefs/IniFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <memory>

namespace {

// Tiles of 44 x 40 in the colours of their id, one run a row (about 64 MB of art), behind
// 0x13FDC records.
struct Client {
    QTemporaryDir dir;
    Client() {
        std::map<int, QByteArray> tiles;
        for (int id = 0; id < CArtIndex::StaticCount; ++id) {
            std::vector<std::vector<ArtRun>> rows;
            for (int y = 0; y < 40; ++y)
                rows.push_back({{0, std::vector<std::uint16_t>(44, std::uint16_t(id * 7 + y))}});
            tiles[id] = ArtEntry(44, 40, rows);
        }
        WriteMulArt(dir.path(), tiles, 0x13FDC);
        const QString ini = dir.filePath(QStringLiteral("quillet.ini"));
        WriteOrFail(ini, "[UO]\r\nUltima Online=" + dir.path().toUtf8() + "\r\n");
        SettingsStore().SetPath(ini.toStdString());
    }
};

Client& TheClient() {
    static Client client;
    return client;
}

void BM_ArtPickerOpenToFirstGrid(benchmark::State& state) {
    TheClient();
    for (auto _ : state) {
        CArtPicker picker;
        if (picker.StaticIds().size() != CArtIndex::StaticCount) state.SkipWithError("no art");
        benchmark::DoNotOptimize(picker.Canvas()->GridImage());
    }
}
BENCHMARK(BM_ArtPickerOpenToFirstGrid)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_ArtPickerScrollStep(benchmark::State& state) {
    TheClient();
    CArtPicker picker;
    int direction = 1;
    for (auto _ : state) {
        if (picker.Top() >= int(picker.StaticIds().size()) - 50) direction = -1;
        if (picker.Top() == 0) direction = 1;
        picker.Scroll(direction);
        benchmark::DoNotOptimize(picker.Canvas()->GridImage());
    }
}
BENCHMARK(BM_ArtPickerScrollStep)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::RunWithRatios(
        argc, argv,
        {{"BM_ArtPickerOpenToFirstGrid", "", 50.0}, {"BM_ArtPickerScrollStep", "", 16.0}});
}
