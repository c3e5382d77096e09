// The console under a server that sends 10 MB of log lines as fast as it can (a plain
// socket on another thread): the time until the pane shows the end of the burst, the
// longest time between two paints while it arrives, the time from a resize to its paint,
// and whether the pane's last lines are the last lines sent.
#include "BenchSupport.h"

#include "console/ConsolePane.h"
#include "console/TelnetFrame.h"
#include "framework/SettingsStore.h"
#include "prefs/IniFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kBurstBytes = 10 << 20;

QByteArray Burst() {
    QByteArray burst;
    burst.reserve(kBurstBytes + 100);
    for (int i = 0; burst.size() < kBurstBytes; ++i)
        burst += "06:43:Client 0" + QByteArray::number(0x10000 + i, 16) +
                 " (127.0.0.1) connected, account 'player" + QByteArray::number(i) + "'\r\n";
    return burst;
}

// Listens on a free port of 127.0.0.1; the thread sends the burst to the first caller.
struct Sender {
    int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int port = 0;
    std::thread thread;

    explicit Sender(const QByteArray& burst) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(listener, 1);
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        thread = std::thread([this, &burst] {
            const int peer = ::accept(listener, nullptr, nullptr);
            for (qsizetype at = 0; at < burst.size();) {
                const ssize_t n =
                    ::send(peer, burst.constData() + at, size_t(burst.size() - at), MSG_NOSIGNAL);
                if (n <= 0) break;
                at += n;
            }
            ::close(peer);
        });
    }
    ~Sender() {
        thread.join();
        ::close(listener);
    }
};

// Paint times of the pane, and the latency from each resize to the paint after it.
struct PaintWatch : QObject {
    QElapsedTimer clock;
    qint64 lastPaint = -1, longestGap = 0, resizedAt = -1, longestResize = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        const qint64 now = clock.elapsed();
        if (lastPaint >= 0) longestGap = std::max(longestGap, now - lastPaint);
        if (resizedAt >= 0) longestResize = std::max(longestResize, now - resizedAt);
        lastPaint = now;
        resizedAt = -1;
        return false;
    }
};

void BM_ConsoleBurst10MB(benchmark::State& state) {
    static const QByteArray burst = Burst();
    const QList<QByteArray> sentLines = burst.split('\n');
    for (auto _ : state) {
        Sender sender(burst);
        CIniFile& settings = SettingsStore();
        settings.SetValue("Telnet", "IP", "127.0.0.1", true);
        settings.SetValueInt("Telnet", "Port", sender.port, true);
        settings.SetValueInt("Telnet", "Sendspace", 0, true);
        CTelnetFrame console;
        console.resize(900, 600);
        console.show();
        PaintWatch watch;
        console.Pane().viewport()->installEventFilter(&watch);
        // A resize every 200 ms while the burst arrives.
        QTimer resizer;
        int step = 0;
        QObject::connect(&resizer, &QTimer::timeout, [&] {
            console.resize(++step % 2 ? 700 : 900, 600);
            if (watch.resizedAt < 0) watch.resizedAt = watch.clock.elapsed();
        });
        watch.clock.start();
        resizer.start(200);
        const QString end = QStringLiteral("Connection was aborted due to a unknown error.");
        while (!console.Pane().document()->lastBlock().previous().text().startsWith(end) &&
               watch.clock.elapsed() < 30000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        state.SetIterationTime(double(watch.clock.elapsed()) / 1000.0);
        resizer.stop();

        // The pane's lines before the close message are the last lines sent.
        const QStringList shown = console.Pane().toPlainText().split(u'\n');
        int wrong = 0;
        const qsizetype kept = shown.size() - 3; // the close message's empty line, it, and after
        for (qsizetype i = 0; i < kept && i < CConsolePane::MaximumLines - 3; ++i) {
            const QByteArray sent = sentLines[sentLines.size() - 2 - i].chopped(1);
            wrong += shown[kept - 1 - i] != QString::fromLatin1(sent);
        }
        state.counters["wrong_lines"] = wrong;
        state.counters["MB_per_s"] =
            double(kBurstBytes) / (1 << 20) / (double(watch.clock.elapsed()) / 1000.0);
        state.counters["longest_paint_gap_ms"] = double(watch.longestGap);
        state.counters["resize_to_paint_ms"] = double(watch.longestResize);
    }
}
BENCHMARK(BM_ConsoleBurst10MB)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::RunWithRatios(argc, argv,
                                {{"BM_ConsoleBurst10MB", "", 3000.0},
                                 {"BM_ConsoleBurst10MB", "", 100.0, "longest_paint_gap_ms"},
                                 {"BM_ConsoleBurst10MB", "", 100.0, "resize_to_paint_ms"},
                                 {"BM_ConsoleBurst10MB", "", 0.0, "wrong_lines"}});
}
