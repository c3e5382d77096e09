#include "PageTree.h"

#include <QHeaderView>
#include <QStackedWidget>

#include <vector>

namespace {

QWidget* PageOf(const QTreeWidgetItem* item) {
    return item ? static_cast<QWidget*>(item->data(0, Qt::UserRole).value<QObject*>()) : nullptr;
}

} // namespace

CPageTree::CPageTree(QStackedWidget& pages, QWidget* parent) : QTreeWidget(parent), m_pages(pages) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (QWidget* page = PageOf(item)) m_pages.setCurrentWidget(page);
    });
}

QTreeWidgetItem* CPageTree::AddPage(const QString& text, QWidget* page, QTreeWidgetItem* parent) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, text);
    item->setData(0, Qt::UserRole, QVariant::fromValue<QObject*>(page));
    m_pages.addWidget(page);
    return item;
}

void CPageTree::ExpandAll(QTreeWidgetItem* from) {
    std::vector<QTreeWidgetItem*> stack;
    if (from)
        stack.push_back(from);
    else
        for (int i = topLevelItemCount() - 1; i >= 0; --i)
            stack.push_back(topLevelItem(i));
    while (!stack.empty()) {
        QTreeWidgetItem* item = stack.back();
        stack.pop_back();
        item->setExpanded(true);
        for (int i = item->childCount() - 1; i >= 0; --i)
            stack.push_back(item->child(i));
    }
}

void CPageTree::ShowPage(QWidget* page) {
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        if (PageOf(*it) == page) setCurrentItem(*it);
}
