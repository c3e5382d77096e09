#pragma once

#include <QList>
#include <QString>

class CCommandTarget;
class QAction;
class QObject;

// A menu or toolbar action that carries a command id. A text with a tab, such as
// "&Copy\tCtrl+C", splits into the action text and its shortcut.
QAction* MakeCommandAction(const QString& menuText, unsigned id, QObject* parent);

// The command id an action carries, or 0.
unsigned CommandIdOf(const QAction* action);

// Sets enabled, checked and (when the update handler gave one) text of each action from
// the command routing that starts at `target`.
void UpdateCommandActions(CCommandTarget& target, const QList<QAction*>& actions);
