#pragma once

#include "DefinitionIndex.h"

#include <QDialog>

#include <vector>

class QTreeWidget;

// Lets the user pick one of several definitions of a name: its file, line and text.
class CDefinitionListDialog : public QDialog {
    Q_OBJECT

public:
    CDefinitionListDialog(const QString& name, const std::vector<DefinitionSite>& sites,
                          QWidget* parent = nullptr);

    // The chosen site's index, or -1.
    int Chosen() const;
    QTreeWidget& List() const { return *m_list; }

private:
    QTreeWidget* m_list;
};
