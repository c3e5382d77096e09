#pragma once

#include <QString>

class QPrinter;
class QWidget;

// The program's one printer setting, as the framework keeps it for every print job: the
// printer chosen last, its paper and orientation, and whether syntax colours are printed.
// It lives until the application object ends.
QPrinter& SharedPrinter();

// Whether the system has a printer queue at all. Without one, printing says so and returns;
// preview and PDF export still work.
bool PrintersAvailable();
// What the user is told when there is no printer.
QString NoPrinterText();
// Makes `name` the printer of later jobs; false when no queue of that name exists.
bool SelectPrinter(const QString& name);

// Print Setup: paper, orientation and the printer's own margins of the shared printer.
// Without a printer it says so.
void RunPrintSetup(QWidget* parent);

// Printing in the screen's syntax colours rather than black on white (off at start).
bool PrintSyntaxColours();
void SetPrintSyntaxColours(bool colours);
