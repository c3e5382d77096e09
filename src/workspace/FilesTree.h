#pragma once

#include "FolderTree.h"

#include <QPoint>
#include <QUrl>

#include <functional>

class QMenu;

// The Files tree of the workspace bar: a folder tree with a menu for each item and a
// default action. A file that Quillet edits opens in this window; any other file, and any
// folder shown in a file manager, goes to the desktop's default application.
class CFilesTree : public CFolderTree {
    Q_OBJECT

public:
    explicit CFilesTree(QWidget* parent = nullptr);

    // Opens a file in this window as a document.
    void SetOpenDocument(std::function<void(const QString& path)> open);
    // Files beyond *.scp and sphere.ini that Quillet edits (those the user opened with it).
    void SetEditedByQuillet(std::function<bool(const QString& path)> edited);
    // Hands a file or folder to the desktop; QDesktopServices::openUrl unless set.
    void SetOpenUrl(std::function<bool(const QUrl& url)> openUrl);
    // Shows an item's menu at a global position; QMenu::exec unless set.
    void SetShowMenu(std::function<void(QMenu& menu, const QPoint& at)> show);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The menu of `item`: its first entry, the default, drawn bold; one disabled "(empty)"
    // when the item offers nothing (the placeholder, an entry that is gone).
    void FillMenu(QMenu& menu, QTreeWidgetItem* item);
    void AddFolderEntries(QMenu& menu, QTreeWidgetItem* item, const QString& path);
    void AddFileEntries(QMenu& menu, const QString& path);
    void AddEntry(QMenu& menu, const QString& text, const QString& tip, std::function<void()> run);
    void ShowMenuFor(QTreeWidgetItem* item, const QPoint& at);
    // The current item's menu, below its left end.
    void ShowMenuOfCurrent();
    void ShowStatusTip(const QString& tip);
    // Runs the default entry of the item's menu, if it has one.
    void RunDefault(QTreeWidgetItem* item);
    bool IsEditedByQuillet(const QString& path) const;
    void OpenFile(const QString& path);
    void OpenUrl(const QString& path);

    std::function<void(const QString&)> m_openDocument;
    std::function<bool(const QString&)> m_editedByQuillet;
    std::function<bool(const QUrl&)> m_openUrl;
    std::function<void(QMenu&, const QPoint&)> m_showMenu;
};
