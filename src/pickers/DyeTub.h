#pragma once

#include <QWidget>

class CHueFile;

// The dye tub's canvas: 20 x 10 cells of 15 pixels on black grid lines. Cell k holds the
// five shades of hue indices 5k + 1 ... 5k + 5 (hue numbers 2 ... 1,001 in all); every cell
// shows the one shade that the brightness picks, and a white frame marks the cell of the
// selected hue. A hue the file does not hold leaves its cell empty.
class CDyeTub : public QWidget {
    Q_OBJECT

public:
    static constexpr int Columns = 20;
    static constexpr int Rows = 10;
    static constexpr int CellSize = 15;
    static constexpr int Shades = 5;
    static constexpr int Cells = Columns * Rows;

    // The hue index that cell `cell` shows at shade `shade` (0..4).
    static constexpr int HueOf(int cell, int shade) { return Shades * cell + shade + 1; }
    // The cell that holds hue index `hue`; -1 for a hue outside the tub.
    static constexpr int CellOf(int hue) {
        return hue >= 1 && hue <= Cells * Shades ? (hue - 1) / Shades : -1;
    }
    // The cell under `point`; -1 on the grid's right or bottom line and beyond, where a
    // column or row past the last would otherwise wrap into the next row.
    static int CellAt(QPoint point);

    explicit CDyeTub(const CHueFile& hues, QWidget* parent = nullptr);

    // Shows shade `shade` (0..4) in every cell and frames the cell of hue index `selected`.
    void Show(int shade, int selected);

signals:
    void CellClicked(int cell);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const CHueFile& m_hues;
    int m_shade = 0;
    int m_selected = 0;
};
