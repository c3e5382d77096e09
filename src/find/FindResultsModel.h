#pragma once

#include "FindInFilesJob.h"

#include "framework/TwoLevelModel.h"

#include <vector>

// The rows of the Find Results pane: a row per file with matches, and below it a row per
// matching line, "path(line): text", in the order the search found them.
class CFindResultsModel : public CTwoLevelModel {
    Q_OBJECT

public:
    // Where the match lies in a line row's display text: a QPoint of (start, length).
    static constexpr int MatchRole = Qt::UserRole + 1;

    struct Location {
        QString path;
        int line = 0;
        int column = 0;
        int length = 0;
    };

    explicit CFindResultsModel(QObject* parent = nullptr);

    void Clear();
    void Append(const QList<FoundFile>& files);
    // The match of a line row; false for a file row.
    bool LocationOf(const QModelIndex& index, Location& location) const;
    // The longest display text so far, in characters, to size the column.
    int LongestText() const { return m_longest; }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

protected:
    int TopRowCount() const override { return int(m_files.size()); }
    int ChildRowCount(int file) const override {
        return int(m_files[std::size_t(file)].lines.size());
    }

private:
    struct LineRow {
        QString text; // as shown: "path(line): text"
        int matchStart = 0;
        int matchLength = 0;
        FoundLine found;
    };
    struct FileRow {
        QString path;
        std::vector<LineRow> lines;
    };
    static LineRow MakeLineRow(const QString& path, FoundLine found);

    std::vector<FileRow> m_files;
    int m_longest = 0;
};
