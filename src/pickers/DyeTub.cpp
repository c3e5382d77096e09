#include "DyeTub.h"

#include "HueColour.h"

#include <QMouseEvent>
#include <QPainter>

int CDyeTub::CellAt(QPoint point) {
    if (point.x() < 0 || point.y() < 0) return -1;
    const int column = point.x() / CellSize;
    const int row = point.y() / CellSize;
    return column < Columns && row < Rows ? row * Columns + column : -1;
}

CDyeTub::CDyeTub(const CHueFile& hues, QWidget* parent) : QWidget(parent), m_hues(hues) {
    // One pixel more than the cells, for the grid's right and bottom lines.
    setFixedSize(Columns * CellSize + 1, Rows * CellSize + 1);
}

void CDyeTub::Show(int shade, int selected) {
    m_shade = shade;
    m_selected = selected;
    update();
}

void CDyeTub::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const int width = Columns * CellSize;
    const int height = Rows * CellSize;
    // Each line stops short of its end point, so the bottom right corner stays open.
    for (int y = 0; y <= height; y += CellSize)
        painter.fillRect(0, y, width, 1, Qt::black);
    for (int x = 0; x <= width; x += CellSize)
        painter.fillRect(x, 0, 1, height, Qt::black);

    for (int cell = 0; cell < Cells; ++cell) {
        const QColor colour = HueColour(m_hues, HueOf(cell, m_shade), 31);
        if (!colour.isValid()) continue;
        const int x = (cell % Columns) * CellSize;
        const int y = (cell / Columns) * CellSize;
        painter.fillRect(x + 1, y + 1, CellSize - 1, CellSize - 1, colour);
    }

    // The frame lies on the grid lines around the selected cell.
    if (const int cell = CellOf(m_selected); cell >= 0) {
        painter.setPen(Qt::white);
        painter.drawRect((cell % Columns) * CellSize, (cell / Columns) * CellSize, CellSize,
                         CellSize);
    }
}

void CDyeTub::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (const int cell = CellAt(event->position().toPoint()); cell >= 0) emit CellClicked(cell);
}
