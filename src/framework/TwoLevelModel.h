#pragma once

#include <QAbstractItemModel>

// A one-column model of top rows, each with a list of child rows and nothing deeper: the
// shape of an outline or of search results grouped by file. A subclass says how many rows
// there are and what they show; the indexes are made here. A top row's internal id is 0, a
// child's is its top row + 1.
class CTwoLevelModel : public QAbstractItemModel {
public:
    using QAbstractItemModel::QAbstractItemModel;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;

protected:
    virtual int TopRowCount() const = 0;
    virtual int ChildRowCount(int topRow) const = 0;

    static bool IsTopRow(const QModelIndex& index) {
        return index.isValid() && index.internalId() == 0;
    }
    // The top row a child row belongs to.
    static int TopRowOf(const QModelIndex& child) { return int(child.internalId()) - 1; }
};
