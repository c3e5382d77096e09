#pragma once

#include <QFrame>

class CArtPicker;

// The Art Picker's grid: 10 columns of 5 tiles on grey grid lines, the list running down
// each column; the picked tile on dark blue in a dotted frame. A click picks, the wheel
// and the arrow keys scroll.
class CArtCanvas : public QFrame {
    Q_OBJECT

public:
    static constexpr int GridWidth = 449;
    static constexpr int GridHeight = 224;

    explicit CArtCanvas(CArtPicker& picker, QWidget* parent = nullptr);

    // The grid as the canvas shows it.
    QImage GridImage() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CArtPicker& m_picker;
    int m_wheelRemainder = 0;
};
