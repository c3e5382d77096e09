#include "TwoLevelModel.h"

QModelIndex CTwoLevelModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    if (!parent.isValid())
        return row < TopRowCount() ? createIndex(row, 0, quintptr(0)) : QModelIndex();
    if (!IsTopRow(parent)) return {};
    return row < ChildRowCount(parent.row()) ? createIndex(row, 0, quintptr(parent.row() + 1))
                                             : QModelIndex();
}

QModelIndex CTwoLevelModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || IsTopRow(child)) return {};
    return createIndex(TopRowOf(child), 0, quintptr(0));
}

int CTwoLevelModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return TopRowCount();
    return IsTopRow(parent) ? ChildRowCount(parent.row()) : 0;
}

int CTwoLevelModel::columnCount(const QModelIndex&) const {
    return 1;
}
