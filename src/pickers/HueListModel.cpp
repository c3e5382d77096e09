#include "HueListModel.h"

#include "HueColour.h"
#include "HueText.h"

#include <algorithm>
#include <numeric>

namespace {

// The hue number that a filter text names, or 0.
int FilterNumber(const QString& text) {
    bool ok = false;
    const int number = text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)
                           ? text.mid(2).toInt(&ok, 16)
                           : text.toInt(&ok, 10);
    return ok ? number : 0;
}

} // namespace

void CHueListModel::SetHues(const CHueFile& hues) {
    beginResetModel();
    m_hues.resize(CHueFile::MaxHues);
    for (int hue = 0; hue < CHueFile::MaxHues; ++hue)
        m_hues[hue] = {HueColour(hues, hue, 31), HueDisplayName(hues.Name(hue))};
    m_rows.resize(m_hues.size());
    std::iota(m_rows.begin(), m_rows.end(), 0);
    endResetModel();
}

void CHueListModel::SetFilter(const QString& text) {
    const QString wanted = text.trimmed();
    const int number = FilterNumber(wanted);
    beginResetModel();
    m_rows.clear();
    for (int hue = 0; hue < int(m_hues.size()); ++hue) {
        if (wanted.isEmpty() || hue + 1 == number ||
            m_hues[hue].name.contains(wanted, Qt::CaseInsensitive))
            m_rows.push_back(hue);
    }
    endResetModel();
}

int CHueListModel::RowOf(int hue) const {
    const auto row = std::lower_bound(m_rows.begin(), m_rows.end(), hue);
    return row != m_rows.end() && *row == hue ? int(row - m_rows.begin()) : -1;
}

int CHueListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant CHueListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_rows.size())) return {};
    const int hue = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return QString::asprintf("0x%04X", unsigned(hue + 1));
    case HueRole:
        return hue;
    case ColourRole:
        return m_hues[hue].colour;
    default:
        return {};
    }
}
