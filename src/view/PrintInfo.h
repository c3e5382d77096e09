#pragma once

#include <QRect>

// What a print job tells the view about the page it is at, as the framework keeps it.
struct CPrintInfo {
    QRect rectDraw;               // the printable area of the page, in device units
    int currentPage = 1;          // counted from 1
    bool continuePrinting = true; // cleared by OnPrepareDC when the job is to end
    bool syntaxColours = false;   // the screen's syntax colours rather than black on white
};
