#include "ProgressWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressBar>

#include <thread>

namespace {

// The window appears only when the task takes longer than this.
constexpr int kShowAfterMs = 300;

} // namespace

CProgressWindow::CProgressWindow(const QString& label, QWidget* parent, int steps)
    : m_dialog(label, QString(), 0, steps, parent), m_bar(new QProgressBar) {
    // The dialog's own setValue would handle user input once the window shows; the bar is
    // moved directly instead.
    m_dialog.setBar(m_bar);
    m_dialog.setRange(0, steps);
    m_dialog.setWindowTitle(QStringLiteral("Brindle's Quillet"));
    m_dialog.setWindowModality(Qt::ApplicationModal);
    m_dialog.setMinimumDuration(kShowAfterMs);
    m_dialog.setValue(0); // starts the clock after which the window shows
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

CProgressWindow::~CProgressWindow() {
    QApplication::restoreOverrideCursor();
}

void CProgressWindow::RunOnWorker(const std::function<void()>& work) {
    QEventLoop loop;
    std::thread worker([&] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
}

void CProgressWindow::Advance(int step) {
    m_bar->setValue(step);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
