#include "MessageBox.h"

#include <utility>

namespace {

MessageHandler& CurrentHandler() {
    static MessageHandler handler;
    return handler;
}

} // namespace

QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text,
                                        const QString& caption, QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons) {
    const QString title = caption.isEmpty() ? QStringLiteral("Brindle's Quillet") : caption;
    if (const MessageHandler& handler = CurrentHandler())
        return handler(parent, text, title, icon, buttons);
    QMessageBox box(icon, title, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

MessageHandler SetMessageHandler(MessageHandler handler) {
    return std::exchange(CurrentHandler(), std::move(handler));
}
