#include "FirstFrameExit.h"

#include "view/TextView.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

namespace {

// Quits once the viewport of a text view has been painted.
class CFirstFrameExit : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && qobject_cast<CTextView*>(watched->parent())) {
            QCoreApplication::instance()->removeEventFilter(this);
            // After the paint has reached the window, as the event loop goes on.
            QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        }
        return false;
    }
};

} // namespace

void ExitAfterFirstFrameIfAsked() {
    if (qEnvironmentVariableIntValue("QUILLET_EXIT_AFTER_FIRST_FRAME") != 1) return;
    QCoreApplication* application = QCoreApplication::instance();
    application->installEventFilter(new CFirstFrameExit(application));
}
