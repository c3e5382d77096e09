#include "DefinitionListDialog.h"

#include "framework/Windows1252.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

CDefinitionListDialog::CDefinitionListDialog(const QString& name,
                                             const std::vector<DefinitionSite>& sites,
                                             QWidget* parent)
    : QDialog(parent), m_list(new QTreeWidget) {
    setWindowTitle(QStringLiteral("Definitions of '%1'").arg(name));
    m_list->setColumnCount(3);
    m_list->setHeaderLabels(
        {QStringLiteral("File"), QStringLiteral("Line"), QStringLiteral("Text")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    for (std::size_t i = 0; i < sites.size(); ++i) {
        const DefinitionSite& site = sites[i];
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, QDir::toNativeSeparators(QFile::decodeName(site.path.c_str())));
        item->setText(1, QString::number(site.line + 1));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(2, TextFromWindows1252(site.text).trimmed());
        item->setData(0, Qt::UserRole, int(i));
    }
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->setCurrentItem(m_list->topLevelItem(0));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemActivated, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("'%1' is defined in %2 places. Go to:").arg(name).arg(sites.size())));
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    resize(720, 320);
}

int CDefinitionListDialog::Chosen() const {
    const QTreeWidgetItem* item = m_list->currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}
