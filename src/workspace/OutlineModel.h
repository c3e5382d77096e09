#pragma once

#include "ScriptOutline.h"

#include "framework/TwoLevelModel.h"
#include <QIcon>

#include <array>
#include <memory>
#include <vector>

// The Script tree's items: the five fixed roots ("Items", "Chars", "Functions", "Types",
// "Misc") and below them the sections of the active script. New sections replace the old
// ones row by row, so a view keeps its expanded roots and its scroll position.
class COutlineModel : public CTwoLevelModel {
    Q_OBJECT

public:
    explicit COutlineModel(QObject* parent = nullptr);

    // The sections of `outline`; null shows none.
    void SetOutline(std::shared_ptr<const ScriptOutline> outline);
    // The header line of the section at `index`, or -1 for a root.
    int LineOf(const QModelIndex& index) const;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

protected:
    int TopRowCount() const override { return OutlineRootCount; }
    int ChildRowCount(int root) const override { return int(m_sections[std::size_t(root)].size()); }

private:
    const OutlineSection* SectionAt(const QModelIndex& index) const;

    // The label of a section: its header as the file reads, then its DEFNAME if it has one.
    QString Label(const OutlineSection& section) const;

    std::shared_ptr<const ScriptOutline> m_outline; // the texts of the sections
    std::array<std::vector<OutlineSection>, OutlineRootCount> m_sections;
    QIcon m_icon;
};
