#pragma once

#include "FindResultsModel.h"

#include <QDockWidget>

class QLabel;
class QPushButton;
class QTreeView;

// The "Find Results" pane at the bottom of the main window: a line saying how the search
// goes, a Stop button, and the matches grouped by file. Enter or a double click on a match
// asks to open it; Step moves to the next or previous match and asks the same.
// Most runs never show the pane: the list takes its fixed-pitch font, whose look-up is
// the costly part of making the pane, when the pane first shows or fills.
class CFindResultsPane : public QDockWidget {
    Q_OBJECT

public:
    explicit CFindResultsPane(QWidget* parent = nullptr);

    // A new search: empties the list and says what is being looked for.
    void BeginSearch(const QString& description);
    void AddFound(const QList<FoundFile>& files, std::size_t searchedFiles);
    void EndSearch(const FindInFilesSummary& summary);
    // Moves to the next (or previous) match after the current row, wrapping around; false
    // when there is none.
    bool Step(bool forward);

    CFindResultsModel& Model() const { return *m_model; }
    QTreeView& View() const { return *m_view; }
    QLabel& Status() const { return *m_status; }
    QPushButton& StopButton() const { return *m_stop; }

    void setVisible(bool visible) override;

signals:
    void StopRequested();
    // The user chose the match at `location`; with `focusScript` the script takes the focus.
    void ResultChosen(const CFindResultsModel::Location& location, bool focusScript);

private:
    void UseListFont();
    void Choose(const QModelIndex& index, bool focusScript);

    CFindResultsModel* m_model;
    QTreeView* m_view;
    QLabel* m_status;
    QPushButton* m_stop;
    QString m_description;
    std::size_t m_lines = 0;
    bool m_listFontSet = false;
};
