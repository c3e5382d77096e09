#include "FirstFrameExit.h"
#include "FontSystemWarmUp.h"
#include "QuilletApp.h"

#include <QApplication>

#include <cstring>

int main(int argc, char* argv[]) {
    FontSystemWarmUp fonts;
    // A PDF made from the command line needs no display, and is then the same whatever
    // display the program was started from.
    if (argc > 1 && std::strcmp(argv[1], "--pdf") == 0 &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ExitAfterFirstFrameIfAsked();
    CQuilletApp quillet;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    fonts.Wait();
    if (!quillet.InitInstance(arguments)) return quillet.ExitStatus();
    return QApplication::exec();
}
