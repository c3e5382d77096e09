// The floor of the start-up benchmark: a minimal Qt widgets program that shows one empty
// QMainWindow and ends right after its first paint.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>

namespace {

class FirstPaintExit : public QMainWindow {
protected:
    void paintEvent(QPaintEvent* event) override {
        QMainWindow::paintEvent(event);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    FirstPaintExit window;
    window.show();
    return QApplication::exec();
}
