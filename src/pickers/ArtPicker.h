#pragma once

#include "clientfiles/ArtSource.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class CArtCanvas;
class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;

// "Quillet - Art Picker": the static art of the user's Ultima Online client as a grid of
// 10 columns of 5 tiles, scrolled a column at a time; a click picks a tile and "&Insert"
// hands its id back, in hexadecimal ("0eed") or, with "Decimal ( Gump/Dialog )", in
// decimal ("3821").
class CArtPicker : public QDialog {
    Q_OBJECT

public:
    static constexpr int Columns = 10;
    static constexpr int Rows = 5;
    static constexpr int CellPitch = 45; // a 44-pixel tile and a grid line

    // Opens the art of the client folder named in the saved settings file; when it cannot,
    // tells the user so, and IsReady() is false: the dialog is then not to be run.
    explicit CArtPicker(QWidget* parent = nullptr);
    ~CArtPicker() override;

    bool IsReady() const { return m_source != nullptr; }
    // Filled by "&Insert".
    const QString& InsertionText() const { return m_insertion; }

    const std::vector<std::uint16_t>& StaticIds() const;
    int Top() const { return m_top; }
    int Selected() const { return m_selected; }
    // Scrolls by `steps` columns (negative: to the left), never past either end.
    void Scroll(int steps);
    // Picks the tile under `point` of the canvas; nothing outside the tiles.
    void PickAt(QPoint point);
    // Draws a tile of `id` into a 44 x 44 image with `background` where no art covers it.
    QImage TileImage(int id, QRgb background) const;

    CArtCanvas* Canvas() const { return m_canvas; }
    QCheckBox* DecimalBox() const { return m_decimal; }
    QLabel* IdLabel() const { return m_label; }
    QToolButton* ScrollButton(bool right) const { return right ? m_right : m_left; }

    // "0eed" or "3821" for id 0x0EED; "ID: 0x0EED" or "ID: 3821".
    static QString InsertionTextFor(int id, bool decimal);
    static QString LabelFor(int id, bool decimal);

private:
    void RefreshLabel();
    void OnInsert();

    std::unique_ptr<CArtSource> m_source;
    int m_top = 0;
    int m_selected = 0;
    QString m_insertion;
    CArtCanvas* m_canvas = nullptr;
    QCheckBox* m_decimal = nullptr;
    QLabel* m_label = nullptr;
    QToolButton* m_left = nullptr;
    QToolButton* m_right = nullptr;
    QPushButton* m_insert = nullptr;
};
