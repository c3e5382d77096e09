#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// The caption bar at the top of a preferences page: a gradient from teal to purple, drawn
// column by column, with the text before a tab in bold at the left and the part after the
// tab in the normal weight at the right, both in white. Without text it is a plain face.
class CGradientCaption : public QWidget {
    Q_OBJECT

public:
    static constexpr int Height = 22;

    explicit CGradientCaption(const QString& text, QWidget* parent = nullptr);

    const QString& Text() const { return m_text; }
    // The colour of column `x` of a bar `width` pixels wide.
    static QColor ColumnColour(int x, int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};
