// The print commands of the text view: Print with its dialog, the direct print, Print
// Preview and Export as PDF, all through the one print loop.
#include "PrintJob.h"
#include "TextView.h"

#include "framework/CommandIds.h"
#include "framework/FileDialog.h"
#include "framework/MessageBox.h"
#include "framework/ModalDialog.h"
#include "framework/PrinterSetup.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString kColoursOption = QStringLiteral("Print syntax colours");

} // namespace

void CTextView::RegisterPrintCommands() {
    OnCommand(ID_FILE_PRINT, [this](unsigned) { PrintOnSharedPrinter(false); });
    OnCommand(ID_FILE_PRINT_DIRECT, [this](unsigned) { PrintOnSharedPrinter(true); });
    OnCommand(ID_FILE_PRINT_PREVIEW, [this](unsigned) { OnFilePrintPreview(); });
    OnCommand(ID_FILE_EXPORT_PDF, [this](unsigned) { OnFileExportPdf(); });
}

bool CTextView::PrintDirect() {
    return PrintOnSharedPrinter(true);
}

bool CTextView::OnPreparePrinting(QPrinter& printer, PrintJobOptions& options) {
    QPrintDialog dialog(&printer, this);
    auto* tab = new QWidget;
    tab->setWindowTitle(QStringLiteral("Colours"));
    auto* colours = new QCheckBox(kColoursOption, tab);
    colours->setChecked(PrintSyntaxColours());
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(colours);
    layout->addStretch();
    dialog.setOptionTabs({tab});
    if (RunModalDialog(dialog) != QDialog::Accepted) return false;
    SetPrintSyntaxColours(colours->isChecked());
    options.syntaxColours = colours->isChecked();
    if (printer.printRange() == QPrinter::PageRange) {
        options.fromPage = printer.fromPage();
        options.toPage = printer.toPage();
    }
    return true;
}

bool CTextView::PrintOnSharedPrinter(bool direct) {
    if (!PrintersAvailable()) {
        ShowMessage(this, NoPrinterText());
        return false;
    }
    QPrinter& printer = SharedPrinter();
    PrintJobOptions options;
    options.syntaxColours = PrintSyntaxColours();
    if (!direct && !OnPreparePrinting(printer, options)) return false;
    printer.setDocName(QFileInfo(PrintDocumentName()).fileName());
    const PrintJobResult result = RunPrintJobWithProgress(*this, printer, options, this);
    if (result == PrintJobResult::Failed) {
        const QString where = printer.outputFileName().isEmpty()
                                  ? printer.printerName()
                                  : QDir::toNativeSeparators(printer.outputFileName());
        ShowMessage(this, QStringLiteral("The script could not be printed on '%1'.").arg(where),
                    QString(), QMessageBox::Critical);
    }
    return result == PrintJobResult::Printed;
}

void CTextView::OnFilePrintPreview() {
    QPrintPreviewDialog preview(&SharedPrinter(), window());
    preview.setWindowTitle(QStringLiteral("Print Preview"));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        preview.resize(screen->availableSize() * 4 / 5);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this, &preview](QPrinter* target) {
                PrintJobOptions options;
                options.syntaxColours = PrintSyntaxColours();
                target->setDocName(QFileInfo(PrintDocumentName()).fileName());
                RunPrintJobWithProgress(*this, *target, options, &preview);
            });
    // Colours can be switched on here too, where there is no printer and so no print dialog.
    auto* colours = new QAction(kColoursOption, &preview);
    colours->setCheckable(true);
    colours->setChecked(PrintSyntaxColours());
    connect(colours, &QAction::toggled, &preview, [&preview](bool on) {
        SetPrintSyntaxColours(on);
        if (auto* pages = preview.findChild<QPrintPreviewWidget*>()) pages->updatePreview();
    });
    if (auto* bar = preview.findChild<QToolBar*>()) {
        bar->addSeparator();
        bar->addAction(colours);
    }
    RunModalDialog(preview);
}

void CTextView::OnFileExportPdf() {
    const QFileInfo named(PrintDocumentName());
    FileDialogRequest request;
    request.save = true;
    request.title = QStringLiteral("Export as PDF");
    request.filter = QStringLiteral("PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*||");
    request.defaultSuffix = QStringLiteral("pdf");
    const QString name =
        named.completeBaseName().isEmpty() ? QStringLiteral("script") : named.completeBaseName();
    request.initialPath = named.isAbsolute() ? named.dir().filePath(name + QStringLiteral(".pdf"))
                                             : name + QStringLiteral(".pdf");
    const QString path = AskFileName(this, request);
    if (path.isEmpty()) return;
    PrintJobOptions options;
    options.syntaxColours = PrintSyntaxColours();
    QString error;
    if (ExportPdf(*this, path, options, error, this) == PrintJobResult::Failed)
        ShowMessage(this,
                    QStringLiteral("Could not write the PDF file '%1'.\n\n%2")
                        .arg(QDir::toNativeSeparators(path), error),
                    QString(), QMessageBox::Critical);
}
