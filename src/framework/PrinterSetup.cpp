#include "PrinterSetup.h"

#include "MessageBox.h"
#include "ModalDialog.h"

#include <QCoreApplication>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <memory>

namespace {

std::unique_ptr<QPrinter>& PrinterSlot() {
    static std::unique_ptr<QPrinter> printer;
    return printer;
}

bool& SyntaxColours() {
    static bool colours = false;
    return colours;
}

} // namespace

QPrinter& SharedPrinter() {
    std::unique_ptr<QPrinter>& printer = PrinterSlot();
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // The page rectangle is the area the device can print on; the program's own margins
        // come on top of it.
        QPageLayout layout = printer->pageLayout();
        layout.setMargins(layout.minimumMargins());
        printer->setPageLayout(layout);
        // Freed while the application object ends, when the printing system is still there.
        qAddPostRoutine([] { PrinterSlot().reset(); });
    }
    return *printer;
}

bool PrintersAvailable() {
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QString NoPrinterText() {
    return QStringLiteral("No printer is installed, so nothing can be printed.\n\nAdd a printer in "
                          "the system's printer settings, or use File > Export as PDF... to save "
                          "the script as a PDF file. Print Preview works without a printer.");
}

bool SelectPrinter(const QString& name) {
    if (!QPrinterInfo::availablePrinterNames().contains(name)) return false;
    SharedPrinter().setPrinterName(name);
    return true;
}

void RunPrintSetup(QWidget* parent) {
    // The page setup dialog serves printers only, not the PDF output that stands in for none.
    if (!PrintersAvailable()) {
        ShowMessage(parent, NoPrinterText());
        return;
    }
    QPageSetupDialog dialog(&SharedPrinter(), parent);
    RunModalDialog(dialog);
}

bool PrintSyntaxColours() {
    return SyntaxColours();
}

void SetPrintSyntaxColours(bool colours) {
    SyntaxColours() = colours;
}
