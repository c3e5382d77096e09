#pragma once

#include "DeferredTree.h"

#include <QHash>
#include <QPersistentModelIndex>
#include <QThreadPool>

#include <atomic>
#include <memory>

class CEntryIcons;
struct FolderListing;

// A tree over the local file system. Folders are read on a worker thread the first time
// they are expanded, so that a large or slow folder never stalls the window; their entries
// then arrive all at once.
class CFolderTree : public CDeferredTree {
    Q_OBJECT

public:
    enum FolderOption : unsigned {
        ShowFiles = 0x01,    // list files as well as folders
        ShowHidden = 0x02,   // list names that start with '.'
        FullPathName = 0x10, // with PathAsName: the item shows its whole path
        PathAsName = 0x20,   // the item is named by its path rather than by its own name
    };
    // The options that children take over from their folder; the naming bits stay with the
    // item that carries them.
    static constexpr unsigned InheritedOptions = 0x0F;

    explicit CFolderTree(QWidget* parent = nullptr);
    // Waits for the folders being read.
    ~CFolderTree() override;

    // Appends a root item for the folder at `path`. It shows its path with PathAsName, else
    // the folder's own name, as a file manager's side bar does. A root has the button until
    // it has been read: telling whether it holds anything would touch the disk here.
    void AddRootFolder(const QString& path, unsigned options);
    // The file-system path of an item; empty for the placeholder.
    QString ItemPath(const QTreeWidgetItem* item) const;
    // A folder, or a link to one.
    bool IsFolderItem(const QTreeWidgetItem* item) const;

protected:
    void PopulateItem(QTreeWidgetItem* item) override;

private:
    void ShowListing(quint64 request, const FolderListing& listing);

    std::unique_ptr<CEntryIcons> m_icons;
    // Items whose folders are being read, by request; a deleted item's index turns invalid.
    QHash<quint64, QPersistentModelIndex> m_reading;
    quint64 m_lastRequest = 0;
    std::atomic<bool> m_stopping{false};
    QThreadPool m_readers;
};
