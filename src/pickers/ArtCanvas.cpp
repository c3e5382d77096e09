#include "ArtCanvas.h"

#include "ArtPicker.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {

const QColor kGridGrey(125, 125, 125);
const QColor kPickedBlue(0, 0, 127);
constexpr int kWheelNotch = 120;

} // namespace

CArtCanvas::CArtCanvas(CArtPicker& picker, QWidget* parent) : QFrame(parent), m_picker(picker) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setContentsMargins(0, 0, 0, 0);
    setFixedSize(GridWidth + 2 * frameWidth(), GridHeight + 2 * frameWidth());
    setFocusPolicy(Qt::StrongFocus);
}

QImage CArtCanvas::GridImage() const {
    QImage image(GridWidth, GridHeight, QImage::Format_RGB32);
    image.fill(kGridGrey);
    QPainter painter(&image);
    painter.setPen(kGridGrey);
    const int step = CArtPicker::CellPitch;
    for (int x = step; x < GridWidth; x += step)
        painter.drawLine(x, 0, x, GridHeight);
    for (int y = step; y < GridHeight; y += step)
        painter.drawLine(0, y, GridWidth, y);

    const std::vector<std::uint16_t>& ids = m_picker.StaticIds();
    QPen dotted(Qt::black, 1);
    dotted.setDashPattern({1, 1}); // every other pixel
    for (int column = 0; column < CArtPicker::Columns; ++column) {
        for (int row = 0; row < CArtPicker::Rows; ++row) {
            // The list runs down each column, then on to the next.
            const int position = m_picker.Top() + CArtPicker::Rows * column + row;
            if (position >= int(ids.size())) break;
            const int x = 1 + step * column, y = 1 + step * row;
            const bool picked = position == m_picker.Selected();
            if (picked) {
                painter.setPen(dotted);
                painter.setBrush(kPickedBlue);
                painter.drawRect(x - 1, y - 1, step, step);
            }
            painter.drawImage(x, y,
                              m_picker.TileImage(ids[position],
                                                 picked ? kPickedBlue.rgb() : qRgb(255, 255, 255)));
        }
    }
    return image;
}

void CArtCanvas::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), GridImage());
}

void CArtCanvas::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton)
        m_picker.PickAt(event->position().toPoint() - contentsRect().topLeft());
}

void CArtCanvas::wheelEvent(QWheelEvent* event) {
    event->accept();
    // Away from the user, or to the left, goes back; a notch is one column.
    const QPoint delta = event->angleDelta();
    m_wheelRemainder += delta.y() != 0 ? delta.y() : delta.x();
    while (std::abs(m_wheelRemainder) >= kWheelNotch) {
        const bool back = m_wheelRemainder > 0;
        m_picker.Scroll(back ? -1 : 1);
        m_wheelRemainder += back ? -kWheelNotch : kWheelNotch;
    }
}

void CArtCanvas::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)
        m_picker.Scroll(event->key() == Qt::Key_Right ? 1 : -1);
    else
        QFrame::keyPressEvent(event);
}
