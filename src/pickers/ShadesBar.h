#pragma once

#include <QWidget>

class CHueFile;

// The 32 colours of one hue side by side, colour 0 at the left, each 14 pixels wide with a
// black line at its right. A hue the file does not hold shows none.
class CShadesBar : public QWidget {
public:
    static constexpr int Step = 15;
    static constexpr int Height = 30;

    explicit CShadesBar(const CHueFile& hues, QWidget* parent = nullptr);

    void SetHue(int hue);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CHueFile& m_hues;
    int m_hue = 0;
};
