#pragma once

#include <QString>

#include <functional>

class CTextView;
class QPagedPaintDevice;
class QWidget;

// Told after each printed page, with the page count; false cancels the rest of the job.
using PrintProgress = std::function<bool(int page, int pageCount)>;

struct PrintJobOptions {
    int fromPage = 1;
    int toPage = 0; // 0: to the last page
    bool syntaxColours = false;
    PrintProgress progress;
};

enum class PrintJobResult { Printed, Cancelled, Failed };

// The framework's print loop: the view's pages one at a time on `device` (a printer, a
// preview or a PDF writer). Fails when the device cannot start or take a new page, and
// when the view is in a job already.
PrintJobResult RunPrintJob(CTextView& view, QPagedPaintDevice& device,
                           const PrintJobOptions& options);

// The same with a progress window over `parent` that shows when the job takes a while and
// can cancel it; the window blocks other input while it shows.
PrintJobResult RunPrintJobWithProgress(CTextView& view, QPagedPaintDevice& device,
                                       const PrintJobOptions& options, QWidget* parent);

// The view's pages as a PDF file at `path`, with the paper of the shared printer. The file
// is replaced only when the whole job succeeded; `error` says why it failed (empty when
// the user cancelled). With a `progressParent`, progress shows over it.
PrintJobResult ExportPdf(CTextView& view, const QString& path, const PrintJobOptions& options,
                         QString& error, QWidget* progressParent = nullptr);
