#include "OutlineModel.h"

#include "framework/Icons.h"
#include "framework/Windows1252.h"

#include <algorithm>
#include <utility>

namespace {

const std::array<const char*, OutlineRootCount> kRootNames{"Items", "Chars", "Functions", "Types",
                                                           "Misc"};

} // namespace

COutlineModel::COutlineModel(QObject* parent)
    : CTwoLevelModel(parent), m_icon(LoadIcon(QStringLiteral("outline"))) {}

void COutlineModel::SetOutline(std::shared_ptr<const ScriptOutline> outline) {
    std::array<std::vector<OutlineSection>, OutlineRootCount> byRoot;
    if (outline)
        for (const OutlineSection& section : outline->sections)
            byRoot[std::size_t(section.root)].push_back(section);
    // The old rows' texts stay alive until every root has its new rows.
    const std::shared_ptr<const ScriptOutline> old = std::exchange(m_outline, std::move(outline));
    for (int root = 0; root < OutlineRootCount; ++root) {
        std::vector<OutlineSection>& rows = m_sections[std::size_t(root)];
        std::vector<OutlineSection>& fresh = byRoot[std::size_t(root)];
        const QModelIndex parent = index(root, 0);
        const int oldCount = int(rows.size());
        const int newCount = int(fresh.size());
        // Rows come and go at the end; the rows that stay are told that they changed.
        if (newCount < oldCount) {
            beginRemoveRows(parent, newCount, oldCount - 1);
            rows = std::move(fresh);
            endRemoveRows();
        } else if (newCount > oldCount) {
            beginInsertRows(parent, oldCount, newCount - 1);
            rows = std::move(fresh);
            endInsertRows();
        } else {
            rows = std::move(fresh);
        }
        const int kept = std::min(oldCount, newCount);
        if (kept > 0) emit dataChanged(index(0, 0, parent), index(kept - 1, 0, parent));
    }
}

int COutlineModel::LineOf(const QModelIndex& index) const {
    const OutlineSection* section = SectionAt(index);
    return section ? section->line : -1;
}

QString COutlineModel::Label(const OutlineSection& section) const {
    QString label = TextFromWindows1252(m_outline->Text(section.header));
    if (section.defname.length > 0)
        label += QStringLiteral(" \u2014 ") + TextFromWindows1252(m_outline->Text(section.defname));
    return label;
}

const OutlineSection* COutlineModel::SectionAt(const QModelIndex& index) const {
    if (!index.isValid() || IsTopRow(index)) return nullptr;
    const auto& rows = m_sections[std::size_t(TopRowOf(index))];
    return index.row() < int(rows.size()) ? &rows[std::size_t(index.row())] : nullptr;
}

QVariant COutlineModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DecorationRole) return m_icon;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    if (IsTopRow(index)) return QString::fromLatin1(kRootNames[std::size_t(index.row())]);
    const OutlineSection* section = SectionAt(index);
    return section ? Label(*section) : QVariant();
}
