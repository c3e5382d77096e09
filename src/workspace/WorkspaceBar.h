#pragma once

#include <QDockWidget>
#include <QString>

class CFilesTree;
class CScriptTree;
class QTabWidget;

// The workspace bar: a dock beside the windows, left or right, holding a tab control with
// its tabs at the bottom: "Script" (the outline of the active script), "Resources" (empty)
// and "Files" (the home folder and the SphereServer folder). Docked it is 250 pixels wide
// and as tall as its side of the main window; floating it is 250 x 280.
class CWorkspaceBar : public QDockWidget {
    Q_OBJECT

public:
    enum Tab { ScriptTab, ResourcesTab, FilesTab };
    static constexpr int kWidth = 250;
    static constexpr int kFloatingHeight = 280;

    explicit CWorkspaceBar(QWidget* parent = nullptr);

    QTabWidget& Tabs() const { return *m_tabs; }
    CScriptTree& ScriptTree() const { return *m_scriptTree; }
    CFilesTree& FilesTree() const { return *m_filesTree; }

    // Reads the SphereServer folder from the settings store. When it changed, the Files
    // tree's second root follows: the folder under its full path, or no second root when
    // the setting names no folder.
    void ReadServerFolder();

signals:
    // The focus leaves the bar: by Tab from its last widget, or because the focused widget
    // hides (the bar closes, floats or docks). The next widget in the window's focus chain
    // may be a view in another script window, and focusing it would activate that window,
    // so the bar lets its owner place the focus instead.
    void FocusLeaving();

protected:
    // Keeps the focus among the bar's visible widgets while there is one to take it.
    bool focusNextPrevChild(bool next) override;

private:
    void FollowFloating(bool floating);

    QTabWidget* m_tabs;
    CScriptTree* m_scriptTree;
    CFilesTree* m_filesTree;
    QString m_serverFolder; // as the Files tree shows it; empty when it shows none
};
