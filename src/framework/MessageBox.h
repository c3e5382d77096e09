#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// The one way the application shows a message box. Tests install a handler that records
// the message and answers for the user, so that no modal box ever blocks them.
using MessageHandler = std::function<QMessageBox::StandardButton(
    QWidget* parent, const QString& text, const QString& caption, QMessageBox::Icon icon,
    QMessageBox::StandardButtons buttons)>;

// Shows `text` modally; the caption defaults to the application's title "Brindle's Quillet".
QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text,
                                        const QString& caption = QString(),
                                        QMessageBox::Icon icon = QMessageBox::Warning,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// Replaces the modal box by `handler` (an empty handler restores it); returns the old one.
MessageHandler SetMessageHandler(MessageHandler handler);
