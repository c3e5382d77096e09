#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for: no argument makes a new script; file names open those
// files; "/p FILE" (also "-p", "--print") prints FILE without a dialog and ends;
// "/pt FILE PRINTER" (also "--print-to") prints FILE on PRINTER and ends; "--pdf FILE OUT"
// writes FILE's pages to the PDF file OUT without a window and ends (`files` then holds
// every argument after the switch, which should be exactly those two).
struct CommandLineInfo {
    enum Action { FileNew, FileOpen, FilePrint, FilePrintTo, ExportPdf };
    Action action = FileNew;
    QStringList files;
    QString printer;
};

// `arguments` without the program's own name.
CommandLineInfo ParseCommandLine(const QStringList& arguments);
