#pragma once

#include <functional>

class QDialog;

// The one way the application runs a dialog modally. Tests install a handler that fills in
// the dialog's controls and answers for the user, so that no modal dialog ever blocks them.
using DialogHandler = std::function<int(QDialog& dialog)>;

// QDialog::Accepted or QDialog::Rejected.
int RunModalDialog(QDialog& dialog);

// Replaces the modal loop by `handler` (an empty handler restores it); returns the old one.
DialogHandler SetDialogHandler(DialogHandler handler);
