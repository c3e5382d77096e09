#include "CommandAction.h"

#include "CommandTarget.h"

#include <QAction>
#include <QKeySequence>

namespace {

void SetMenuText(QAction* action, const QString& menuText) {
    const qsizetype tab = menuText.indexOf(u'\t');
    if (tab < 0) {
        action->setText(menuText);
        return;
    }
    action->setText(menuText.left(tab));
    action->setShortcut(QKeySequence(menuText.mid(tab + 1)));
}

} // namespace

QAction* MakeCommandAction(const QString& menuText, unsigned id, QObject* parent) {
    auto* action = new QAction(parent);
    SetMenuText(action, menuText);
    action->setData(id);
    return action;
}

unsigned CommandIdOf(const QAction* action) {
    return action ? action->data().toUInt() : 0;
}

void UpdateCommandActions(CCommandTarget& target, const QList<QAction*>& actions) {
    for (QAction* action : actions) {
        const unsigned id = CommandIdOf(action);
        if (id == 0)
            continue;
        const CCommandUI ui = target.QueryCommand(id);
        action->setEnabled(ui.IsEnabled());
        if (action->isCheckable())
            action->setChecked(ui.IsChecked());
        if (!ui.Text().isEmpty())
            SetMenuText(action, ui.Text());
    }
}
