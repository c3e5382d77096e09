#include "MarginCursor.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

QCursor MarginCursor() {
    // The usual arrow, mirrored so that its tip is at the top right.
    static const QPolygon arrow{{15, 0}, {15, 16}, {11, 12}, {8, 19}, {6, 18}, {9, 11}, {4, 11}};
    QPixmap pixmap(16, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawPolygon(arrow);
    painter.end();
    return QCursor(pixmap, 15, 0);
}
