#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Brindles Quillet");
    QApplication::setApplicationName("Brindle's Quillet");

    QMainWindow window;
    window.setWindowTitle("Brindle's Quillet");
    window.resize(1024, 700);
    window.show();
    return app.exec();
}
