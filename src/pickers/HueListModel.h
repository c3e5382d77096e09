#pragma once

#include <QAbstractListModel>
#include <QColor>
#include <QString>

#include <vector>

class CHueFile;

// The rows of the "All Colors" list: hue indices 0 ... 2,999, each with the colour that
// stands for it (its colour 31) and its name, narrowed by a filter. The list keeps no texts
// of its own: a row is drawn from its hue index and colour.
class CHueListModel : public QAbstractListModel {
public:
    enum Role { HueRole = Qt::UserRole, ColourRole };

    using QAbstractListModel::QAbstractListModel;

    // Lists every hue index; those the file does not hold have no colour and no name.
    void SetHues(const CHueFile& hues);
    // Keeps the hues whose name holds `text`, case aside, or whose number it is: "0x481"
    // in hexadecimal, "1153" in decimal. An empty text keeps them all.
    void SetFilter(const QString& text);

    int HueAt(int row) const { return m_rows.at(row); }
    // The row of hue index `hue`; -1 while the filter hides it.
    int RowOf(int hue) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    struct Hue {
        QColor colour;
        QString name;
    };
    std::vector<Hue> m_hues;
    std::vector<int> m_rows; // the hue index of each row shown
};
