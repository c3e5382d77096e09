#pragma once

#include <QList>
#include <QTreeWidget>

// A tree that fills an item's children the first time the item is expanded. Meanwhile the
// item holds one "Loading..." placeholder. Children are read once: collapsing and expanding
// again shows what was read, not what the source holds now.
class CDeferredTree : public QTreeWidget {
    Q_OBJECT

public:
    static constexpr int PlaceholderType = QTreeWidgetItem::UserType + 1;

    explicit CDeferredTree(QWidget* parent = nullptr);

    static bool IsPlaceholder(const QTreeWidgetItem* item);

protected:
    // How an item's button is decided once its children are in.
    enum class ButtonRule {
        FromChildren, // the button shows exactly when children were found
        KeepButton,   // none found: the item collapses but keeps its button, to be read again
    };

    // Starts reading the children of `item`, which holds only the placeholder now. The
    // reading ends, at once or later, with FinishPopulating for the same item.
    virtual void PopulateItem(QTreeWidgetItem* item) = 0;
    // Replaces the placeholder of `item` by `children` (the tree takes them), sets the
    // button by `rule` and scrolls the new children into view as far as the item stays in
    // view.
    void FinishPopulating(QTreeWidgetItem* item, const QList<QTreeWidgetItem*>& children,
                          ButtonRule rule);

private:
    void OnExpanded(QTreeWidgetItem* item);
    void RevealChildren(QTreeWidgetItem* item);
};
