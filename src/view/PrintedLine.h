#pragma once

#include <QList>
#include <QString>
#include <QTextLayout>

class QFont;
class QPaintDevice;
class QPainter;
class QPointF;

// One line of text as the printer shows it: in one row when it fits the printable width,
// else broken at word boundaries, and anywhere inside a word wider than the width, so that
// nothing runs off the right edge. Rows stand one printer line apart. Measuring and drawing
// use the same layout, so a line draws in exactly the rows it was counted with.
class CPrintedLine {
public:
    CPrintedLine(const QFont& font, QPaintDevice* device, int width, int rowHeight);

    // Lays out `text`; `formats` colour parts of it.
    void SetText(const QString& text, const QList<QTextLayout::FormatRange>& formats = {});
    // At least 1, also for an empty text.
    int RowCount() const { return m_layout.lineCount(); }
    // Draws the rows first to end - 1, the top of row `first` at `topLeft`.
    void DrawRows(QPainter& painter, const QPointF& topLeft, int first, int end) const;

private:
    QTextLayout m_layout;
    int m_width;
    int m_rowHeight;
};
