#include "PrintedLine.h"

#include <QPainter>
#include <QTextOption>

#include <algorithm>

CPrintedLine::CPrintedLine(const QFont& font, QPaintDevice* device, int width, int rowHeight)
    : m_layout(QString(), font, device), m_width(std::max(width, 1)),
      m_rowHeight(std::max(rowHeight, 1)) {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_layout.setTextOption(option);
}

void CPrintedLine::SetText(const QString& text, const QList<QTextLayout::FormatRange>& formats) {
    m_layout.setText(text);
    m_layout.setFormats(formats);
    m_layout.beginLayout();
    for (int row = 0;; ++row) {
        QTextLine line = m_layout.createLine();
        if (!line.isValid()) break;
        line.setLineWidth(m_width);
        line.setPosition(QPointF(0, double(row) * m_rowHeight));
    }
    m_layout.endLayout();
}

void CPrintedLine::DrawRows(QPainter& painter, const QPointF& topLeft, int first, int end) const {
    end = std::min(end, RowCount());
    const QPointF origin = topLeft - QPointF(0, double(first) * m_rowHeight);
    for (int row = std::max(first, 0); row < end; ++row)
        m_layout.lineAt(row).draw(&painter, origin);
}
