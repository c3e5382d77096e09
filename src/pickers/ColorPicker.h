#pragma once

#include "clientfiles/HueFile.h"

#include <QDialog>

#include <string>

class CDyeTub;
class CHueListBox;
class CShadesBar;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

// The Color Picker: the user picks a hue of HUES.MUL in the dye tub (hue numbers 2 ...
// 1,001, a cell of five shades each, the brightness slider choosing the shade) or in the
// list of all 3,000 hues, and "&Insert" hands its number back as text. The file is read
// once, when the dialog is made.
class CColorPicker : public QDialog {
    Q_OBJECT

public:
    explicit CColorPicker(QWidget* parent = nullptr);

    // The hue number as "&Insert" wrote it; empty before.
    const std::string& InsertionText() const { return m_insertion; }
    // The selected hue index (its number less one).
    int Selected() const { return m_selected; }

    CDyeTub* Tub() const { return m_tub; }
    CShadesBar* ShadesBar() const { return m_shades; }
    CHueListBox* HueList() const { return m_list; }
    QLineEdit* FilterField() const { return m_filter; }
    QSlider* Slider() const { return m_slider; }
    QCheckBox* DecimalBox() const { return m_decimal; }
    QLabel* CodeLabel() const { return m_code; }
    QLabel* NameLabel() const { return m_name; }
    QPushButton* InsertButton() const { return m_insert; }
    QPushButton* CancelButton() const { return m_cancel; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    bool ReadHues();
    void OnTubClicked(int cell);
    void OnSliderReleased();
    void OnHuePicked(int hue);
    void OnInsert();
    void RefreshLabels();
    void Redraw();

    CHueFile m_hues;
    int m_selected = 1;
    int m_brightness = 1; // the tub's shade + 1; follows the slider only when applied
    std::string m_insertion;

    CDyeTub* m_tub = nullptr;
    CShadesBar* m_shades = nullptr;
    CHueListBox* m_list = nullptr;
    QLineEdit* m_filter = nullptr;
    QSlider* m_slider = nullptr;
    QCheckBox* m_decimal = nullptr;
    QLabel* m_code = nullptr;
    QLabel* m_name = nullptr;
    QPushButton* m_insert = nullptr;
    QPushButton* m_cancel = nullptr;
};
