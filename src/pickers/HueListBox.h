#pragma once

#include <QListView>

class CHueListModel;

// The "All Colors" list, each row drawn by hand: white, a dotted frame when selected, a
// black-framed box of the hue's colour and its number "0x%04X". It reports the hue index
// that the user picks, whatever rows the filter shows.
class CHueListBox : public QListView {
    Q_OBJECT

public:
    // Rows this wide keep the colour box (up to 60 pixels from the right) and the centred
    // number apart.
    static constexpr int RowWidth = 140;

    explicit CHueListBox(QWidget* parent = nullptr);

    CHueListModel& Hues() const { return *m_model; }
    // Narrows the rows; the picked hue stays picked while it is shown, without a report.
    void SetFilter(const QString& text);

signals:
    void HuePicked(int hue);

protected:
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    CHueListModel* m_model;
    bool m_refiltering = false;
};
