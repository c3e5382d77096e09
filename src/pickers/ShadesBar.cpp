#include "ShadesBar.h"

#include "HueColour.h"

#include <QPainter>

CShadesBar::CShadesBar(const CHueFile& hues, QWidget* parent) : QWidget(parent), m_hues(hues) {
    setFixedSize(CHueFile::ColoursPerHue * Step + 1, Height);
}

void CShadesBar::SetHue(int hue) {
    m_hue = hue;
    update();
}

void CShadesBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    for (int i = 0; i < CHueFile::ColoursPerHue; ++i) {
        const int x = Step * (i + 1);
        painter.fillRect(x, 0, 1, Height, Qt::black);
        if (const QColor colour = HueColour(m_hues, m_hue, i); colour.isValid())
            painter.fillRect(x - Step + 1, 1, Step - 1, Height - 2, colour);
    }
}
