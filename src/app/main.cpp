#include "QuilletApp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    CQuilletApp quillet;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!quillet.InitInstance(arguments)) return 0;
    return QApplication::exec();
}
