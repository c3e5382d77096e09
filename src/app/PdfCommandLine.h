#pragma once

#include <QStringList>

class QTextStream;

// `quillet --pdf FILE OUT`: the pages of the script FILE, as printing lays them out, written
// to the PDF file OUT without a window. `arguments` are those after the switch. Returns the
// program's exit status: 0 when the file was written, else non-zero after telling `errors`
// why.
int ExportScriptAsPdf(const QStringList& arguments, QTextStream& errors);
