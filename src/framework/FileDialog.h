#pragma once

#include <QString>

#include <functional>

class QWidget;

// What an open or save file dialog is asked: the filter uses the Windows form
// "Name (*.ext)|*.ext|...||", the initial path may name a folder and a pattern or a file.
struct FileDialogRequest {
    bool save = false;
    QString initialPath;
    QString filter;
    QString defaultSuffix; // added to a typed name without one, such as "scp"
    bool folder = false;   // choose an existing folder rather than a file
    QString title;         // the dialog's own title, when it has one
};

using FileDialogHandler = std::function<QString(QWidget* parent, const FileDialogRequest& request)>;

// The chosen path, or the empty text when the user cancelled. An open dialog accepts only
// an existing file.
QString AskFileName(QWidget* parent, const FileDialogRequest& request);

// Replaces the dialog by `handler` (an empty handler restores it); returns the old one.
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);

// "A (*.a)|*.a|B (b.ini)|b.ini||" as Qt's "A (*.a);;B (b.ini)"; "*.*" becomes "*".
QString QtFilterFromWindows(const QString& filter);
