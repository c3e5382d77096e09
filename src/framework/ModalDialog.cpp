#include "ModalDialog.h"

#include <QDialog>

#include <utility>

namespace {

DialogHandler& CurrentHandler() {
    static DialogHandler handler;
    return handler;
}

} // namespace

int RunModalDialog(QDialog& dialog) {
    if (const DialogHandler& handler = CurrentHandler()) return handler(dialog);
    return dialog.exec();
}

DialogHandler SetDialogHandler(DialogHandler handler) {
    return std::exchange(CurrentHandler(), std::move(handler));
}
