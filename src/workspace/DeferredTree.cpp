#include "DeferredTree.h"

CDeferredTree::CDeferredTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemExpanded, this, &CDeferredTree::OnExpanded);
}

bool CDeferredTree::IsPlaceholder(const QTreeWidgetItem* item) {
    return item && item->type() == PlaceholderType;
}

void CDeferredTree::OnExpanded(QTreeWidgetItem* item) {
    // Children present (or a placeholder, while reading): read already. An item whose button
    // follows its children has been read too.
    if (item->childCount() > 0 || item->childIndicatorPolicy() != QTreeWidgetItem::ShowIndicator)
        return;
    auto* placeholder = new QTreeWidgetItem(PlaceholderType);
    placeholder->setText(0, tr("Loading..."));
    item->addChild(placeholder);
    PopulateItem(item);
}

void CDeferredTree::FinishPopulating(QTreeWidgetItem* item, const QList<QTreeWidgetItem*>& children,
                                     ButtonRule rule) {
    for (int i = item->childCount(); i-- > 0;)
        if (IsPlaceholder(item->child(i))) delete item->takeChild(i);
    item->addChildren(children);
    if (rule == ButtonRule::FromChildren)
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    if (item->childCount() == 0)
        item->setExpanded(false);
    else if (item->isExpanded())
        RevealChildren(item);
}

void CDeferredTree::RevealChildren(QTreeWidgetItem* item) {
    scrollToItem(item->child(item->childCount() - 1));
    if (visualItemRect(item).top() < 0) scrollToItem(item, QAbstractItemView::PositionAtTop);
}
