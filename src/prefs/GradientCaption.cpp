#include "GradientCaption.h"

#include <QFontDatabase>
#include <QPainter>

namespace {

const QColor kStart(0, 128, 128);
const QColor kEnd(128, 0, 128);

} // namespace

CGradientCaption::CGradientCaption(const QString& text, QWidget* parent)
    : QWidget(parent), m_text(text) {
    setFixedHeight(Height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

// Each channel grows by (end - start) / width a column, in floating point, truncated.
QColor CGradientCaption::ColumnColour(int x, int width) {
    const auto channel = [&](int start, int end) {
        return int(start + double(end - start) / std::max(width, 1) * x);
    };
    return QColor(channel(kStart.red(), kEnd.red()), channel(kStart.green(), kEnd.green()),
                  channel(kStart.blue(), kEnd.blue()));
}

void CGradientCaption::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect();
    if (m_text.isEmpty()) {
        painter.fillRect(area, palette().color(QPalette::Button));
        return;
    }
    for (int x = 0; x < area.width(); ++x)
        painter.fillRect(x, 0, 1, area.height(), ColumnColour(x, area.width()));

    painter.setPen(Qt::white);
    const qsizetype tab = m_text.indexOf(u'\t');
    // The texts stand in a line whose top is 6 pixels above the middle.
    const QRect line(5, area.height() / 2 - 6, area.width() - 10, area.height());
    if (tab > 0) {
        painter.setFont(font());
        painter.drawText(line, Qt::AlignRight | Qt::AlignTop, m_text.mid(tab + 1));
    }
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignTop, tab > 0 ? m_text.left(tab) : m_text);
}
