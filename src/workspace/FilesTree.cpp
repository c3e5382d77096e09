#include "FilesTree.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusTipEvent>

namespace {

bool IsScriptOrSphereIni(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.endsWith(QStringLiteral(".scp"), Qt::CaseInsensitive) ||
           name.compare(QStringLiteral("sphere.ini"), Qt::CaseInsensitive) == 0;
}

// Still there, or at least the link that stood for it.
bool EntryExists(const QString& path) {
    const QFileInfo entry(path);
    return entry.exists() || entry.isSymLink();
}

void CopyPath(const QString& path) {
    QGuiApplication::clipboard()->setText(QDir::toNativeSeparators(path));
}

} // namespace

CFilesTree::CFilesTree(QWidget* parent) : CFolderTree(parent) {}

void CFilesTree::SetOpenDocument(std::function<void(const QString&)> open) {
    m_openDocument = std::move(open);
}

void CFilesTree::SetEditedByQuillet(std::function<bool(const QString&)> edited) {
    m_editedByQuillet = std::move(edited);
}

void CFilesTree::SetOpenUrl(std::function<bool(const QUrl&)> openUrl) {
    m_openUrl = std::move(openUrl);
}

void CFilesTree::SetShowMenu(std::function<void(QMenu&, const QPoint&)> show) {
    m_showMenu = std::move(show);
}

void CFilesTree::FillMenu(QMenu& menu, QTreeWidgetItem* item) {
    const QString path = ItemPath(item);
    if (!path.isEmpty() && EntryExists(path)) {
        if (IsFolderItem(item))
            AddFolderEntries(menu, item, path);
        else
            AddFileEntries(menu, path);
        menu.setDefaultAction(menu.actions().constFirst());
        return;
    }
    menu.addAction(tr("(empty)"))->setEnabled(false);
}

void CFilesTree::AddFolderEntries(QMenu& menu, QTreeWidgetItem* item, const QString& path) {
    const QPersistentModelIndex index(indexFromItem(item));
    AddEntry(menu, tr("&Open"), tr("Shows or hides what the folder holds"), [this, index] {
        if (QTreeWidgetItem* folder = itemFromIndex(index))
            folder->setExpanded(!folder->isExpanded());
    });
    AddEntry(menu, tr("Open in File &Manager"), tr("Shows the folder in the file manager"),
             [this, path] { OpenUrl(path); });
    AddEntry(menu, tr("Copy &Path"), tr("Copies the folder's full path to the clipboard"),
             [path] { CopyPath(path); });
}

void CFilesTree::AddFileEntries(QMenu& menu, const QString& path) {
    AddEntry(menu, tr("&Open"),
             IsEditedByQuillet(path) ? tr("Opens the file in Quillet")
                                     : tr("Opens the file with the desktop's default application"),
             [this, path] { OpenFile(path); });
    AddEntry(menu, tr("Open &With Default Application"),
             tr("Opens the file with the desktop's default application"),
             [this, path] { OpenUrl(path); });
    AddEntry(menu, tr("Open Containing &Folder"),
             tr("Shows the folder that holds the file in the file manager"),
             [this, path] { OpenUrl(QFileInfo(path).absolutePath()); });
    AddEntry(menu, tr("Copy &Path"), tr("Copies the file's full path to the clipboard"),
             [path] { CopyPath(path); });
}

void CFilesTree::AddEntry(QMenu& menu, const QString& text, const QString& tip,
                          std::function<void()> run) {
    QAction* action = menu.addAction(text);
    action->setStatusTip(tip);
    connect(action, &QAction::triggered, this, std::move(run));
}

void CFilesTree::ShowMenuFor(QTreeWidgetItem* item, const QPoint& at) {
    setCurrentItem(item);
    QMenu menu(this);
    FillMenu(menu, item);
    // A menu is a window of its own, where the status tips of its entries would stop: they
    // go to the tree's window (its status bar) instead.
    connect(&menu, &QMenu::hovered, this,
            [this](QAction* entry) { ShowStatusTip(entry->statusTip()); });
    if (m_showMenu)
        m_showMenu(menu, at);
    else
        menu.exec(at);
    ShowStatusTip(QString());
}

void CFilesTree::ShowStatusTip(const QString& tip) {
    QStatusTipEvent event(tip);
    QCoreApplication::sendEvent(this, &event);
}

void CFilesTree::RunDefault(QTreeWidgetItem* item) {
    QMenu menu;
    FillMenu(menu, item);
    if (QAction* action = menu.defaultAction()) action->trigger();
}

bool CFilesTree::IsEditedByQuillet(const QString& path) const {
    return IsScriptOrSphereIni(path) || (m_editedByQuillet && m_editedByQuillet(path));
}

void CFilesTree::OpenFile(const QString& path) {
    if (m_openDocument && IsEditedByQuillet(path))
        m_openDocument(path);
    else
        OpenUrl(path);
}

void CFilesTree::OpenUrl(const QString& path) {
    const QUrl url = QUrl::fromLocalFile(path);
    if (m_openUrl)
        m_openUrl(url);
    else
        QDesktopServices::openUrl(url);
}

void CFilesTree::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    if (event->reason() == QContextMenuEvent::Mouse) {
        // The position is the viewport's, as for every mouse event of an item view.
        QTreeWidgetItem* item = itemAt(event->pos());
        if (item)
            ShowMenuFor(item, event->globalPos());
        else
            clearSelection();
        return;
    }
    ShowMenuOfCurrent(); // from the Menu key
}

void CFilesTree::ShowMenuOfCurrent() {
    QTreeWidgetItem* item = currentItem();
    if (!item) return;
    scrollToItem(item);
    const QRect place = visualItemRect(item);
    ShowMenuFor(item, viewport()->mapToGlobal(place.bottomLeft()));
}

void CFilesTree::mouseDoubleClickEvent(QMouseEvent* event) {
    // The tree's own handling expands or collapses a folder.
    CFolderTree::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton) return;
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (item && !IsFolderItem(item)) RunDefault(item);
}

void CFilesTree::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool enter = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
                       modifiers == Qt::NoModifier;
    // The platform turns the Menu key into a context menu event; Shift+F10 does the same
    // here.
    const bool menuKey = event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier;
    if (enter && currentItem()) {
        RunDefault(currentItem());
    } else if (menuKey) {
        ShowMenuOfCurrent();
    } else {
        CFolderTree::keyPressEvent(event);
    }
}
