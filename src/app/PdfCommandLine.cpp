#include "PdfCommandLine.h"

#include "script/QuilletDoc.h"
#include "script/QuilletView.h"
#include "view/PrintJob.h"

#include <QDir>
#include <QTextStream>

int ExportScriptAsPdf(const QStringList& arguments, QTextStream& errors) {
    if (arguments.size() != 2) {
        errors << "usage: quillet --pdf FILE OUT.pdf\n";
        return 2;
    }
    const QString& script = arguments[0];
    const QString& pdf = arguments[1];
    CQuilletDoc document;
    if (!document.OnOpenDocument(script)) {
        errors << QStringLiteral("quillet: cannot read %1: %2\n")
                      .arg(QDir::toNativeSeparators(script), document.LastFileError());
        return 1;
    }
    document.SetPathName(script);
    CQuilletView view(document);
    view.OnInitialUpdate();
    QString error;
    if (ExportPdf(view, pdf, PrintJobOptions(), error) != PrintJobResult::Printed) {
        errors << QStringLiteral("quillet: cannot write %1: %2\n")
                      .arg(QDir::toNativeSeparators(pdf), error);
        return 1;
    }
    return 0;
}
