#include "PrintJob.h"

#include "PrintInfo.h"
#include "TextView.h"

#include "framework/PrinterSetup.h"

#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProgressDialog>
#include <QSaveFile>

#include <climits>

namespace {

// The progress window shows only for jobs that take longer than this.
constexpr int kProgressDelayMs = 500;

} // namespace

PrintJobResult RunPrintJob(CTextView& view, QPagedPaintDevice& device,
                           const PrintJobOptions& options) {
    if (view.IsPrinting()) return PrintJobResult::Failed;
    QPainter painter;
    if (!painter.begin(&device)) return PrintJobResult::Failed;
    CPrintInfo info;
    info.rectDraw = QRect(0, 0, device.width(), device.height());
    info.syntaxColours = options.syntaxColours;
    view.OnBeginPrinting(painter, info);

    PrintJobResult result = PrintJobResult::Printed;
    const int last = options.toPage > 0 ? options.toPage : INT_MAX;
    bool started = false;
    for (int page = std::max(options.fromPage, 1); page <= last; ++page) {
        info.currentPage = page;
        view.OnPrepareDC(painter, info);
        if (!info.continuePrinting) break;
        if (started && !device.newPage()) {
            result = PrintJobResult::Failed;
            break;
        }
        started = true;
        view.OnPrint(painter, info);
        if (options.progress && !options.progress(page, view.PrintPageCount())) {
            result = PrintJobResult::Cancelled;
            break;
        }
    }
    view.OnEndPrinting(painter, info);
    if (!painter.end() && result == PrintJobResult::Printed) result = PrintJobResult::Failed;
    return result;
}

PrintJobResult RunPrintJobWithProgress(CTextView& view, QPagedPaintDevice& device,
                                       const PrintJobOptions& options, QWidget* parent) {
    QProgressDialog progress(QStringLiteral("Printing..."), QStringLiteral("Cancel"), 0, 0, parent);
    progress.setWindowTitle(QStringLiteral("Brindle's Quillet"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(kProgressDelayMs);
    progress.setAutoReset(false);
    progress.setMinimumWidth(360); // room for the title and "Printing page 1234 of 5678..."
    progress.setValue(0);          // starts the clock after which the window shows
    PrintJobOptions withProgress = options;
    withProgress.progress = [&](int page, int pageCount) {
        if (options.progress && !options.progress(page, pageCount)) return false;
        progress.setMaximum(pageCount);
        progress.setLabelText(QStringLiteral("Printing page %1 of %2...").arg(page).arg(pageCount));
        progress.setValue(page); // lets the windows repaint once it shows
        return !progress.wasCanceled();
    };
    return RunPrintJob(view, device, withProgress);
}

PrintJobResult ExportPdf(CTextView& view, const QString& path, const PrintJobOptions& options,
                         QString& error, QWidget* progressParent) {
    error.clear();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return PrintJobResult::Failed;
    }
    QPdfWriter writer(&file);
    const QPrinter& printer = SharedPrinter();
    writer.setResolution(printer.resolution());
    writer.setPageLayout(printer.pageLayout());
    writer.setTitle(QFileInfo(view.PrintDocumentName()).fileName());
    writer.setCreator(QStringLiteral("Brindle's Quillet"));
    const PrintJobResult result =
        progressParent ? RunPrintJobWithProgress(view, writer, options, progressParent)
                       : RunPrintJob(view, writer, options);
    if (result != PrintJobResult::Printed) {
        file.cancelWriting();
        if (result == PrintJobResult::Failed)
            error = QStringLiteral("The pages could not be made.");
        return result;
    }
    if (!file.commit()) {
        error = file.errorString();
        return PrintJobResult::Failed;
    }
    return PrintJobResult::Printed;
}
