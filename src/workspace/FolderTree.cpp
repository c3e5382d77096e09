#include "FolderTree.h"

#include "EntryIcons.h"
#include "FolderListing.h"

#include <QDir>
#include <QStyle>

namespace {

// Folders read at once; more wait. Reading waits on the disk rather than the processor, so
// a folder on a slow share need not hold up the others.
constexpr int ConcurrentReads = 4;

class CFolderItem : public QTreeWidgetItem {
public:
    static constexpr int Type = CDeferredTree::PlaceholderType + 1;

    CFolderItem(QString path, unsigned options, bool folder)
        : QTreeWidgetItem(Type), path(std::move(path)), options(options), folder(folder) {}

    const QString path;
    const unsigned options;
    const bool folder;
};

const CFolderItem* AsFolderItem(const QTreeWidgetItem* item) {
    return item && item->type() == CFolderItem::Type ? static_cast<const CFolderItem*>(item)
                                                     : nullptr;
}

} // namespace

CFolderTree::CFolderTree(QWidget* parent) : CDeferredTree(parent) {
    const QSize size =
        iconSize().isValid()
            ? iconSize()
            : QSize(1, 1) * style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    m_icons = std::make_unique<CEntryIcons>(size, devicePixelRatioF());
    m_readers.setMaxThreadCount(ConcurrentReads);
}

CFolderTree::~CFolderTree() {
    m_stopping = true;
    m_readers.clear();
    m_readers.waitForDone();
}

void CFolderTree::AddRootFolder(const QString& path, unsigned options) {
    if (path.isEmpty()) return;
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    auto* item = new CFolderItem(clean, options, true);
    const QString ownName = QDir(clean).dirName();
    item->setText(0, (options & PathAsName) || ownName.isEmpty() ? QDir::toNativeSeparators(clean)
                                                                 : ownName);
    FolderEntry entry;
    entry.kind = FolderEntry::Kind::Folder;
    item->setIcon(0, m_icons->For(entry, clean));
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    addTopLevelItem(item);
}

QString CFolderTree::ItemPath(const QTreeWidgetItem* item) const {
    const CFolderItem* entry = AsFolderItem(item);
    return entry ? entry->path : QString();
}

bool CFolderTree::IsFolderItem(const QTreeWidgetItem* item) const {
    const CFolderItem* entry = AsFolderItem(item);
    return entry && entry->folder;
}

void CFolderTree::PopulateItem(QTreeWidgetItem* item) {
    const CFolderItem* folder = AsFolderItem(item);
    if (!folder || !folder->folder) {
        FinishPopulating(item, {}, ButtonRule::FromChildren);
        return;
    }
    const quint64 request = ++m_lastRequest;
    m_reading.insert(request, QPersistentModelIndex(indexFromItem(item)));
    m_readers.start([this, request, path = folder->path, options = folder->options] {
        FolderListing listing =
            ListFolder(path, options & ShowFiles, options & ShowHidden, &m_stopping);
        QMetaObject::invokeMethod(
            this, [this, request, listing = std::move(listing)] { ShowListing(request, listing); },
            Qt::QueuedConnection);
    });
}

void CFolderTree::ShowListing(quint64 request, const FolderListing& listing) {
    const QPersistentModelIndex index = m_reading.take(request);
    QTreeWidgetItem* item = index.isValid() ? itemFromIndex(index) : nullptr;
    const CFolderItem* folder = AsFolderItem(item);
    if (!folder) return;
    const unsigned options = folder->options & InheritedOptions;
    const QBrush faded = palette().brush(QPalette::Disabled, QPalette::Text);
    QList<QTreeWidgetItem*> children;
    children.reserve(qsizetype(listing.entries.size()));
    for (const FolderEntry& entry : listing.entries) {
        const QString path = ChildPath(folder->path, entry.name);
        auto* child = new CFolderItem(path, options, entry.IsFolder());
        child->setText(0, entry.name);
        child->setIcon(0, m_icons->For(entry, path));
        if (entry.hidden) child->setForeground(0, faded);
        child->setChildIndicatorPolicy(entry.expandable ? QTreeWidgetItem::ShowIndicator
                                                        : QTreeWidgetItem::DontShowIndicator);
        children << child;
    }
    FinishPopulating(item, children,
                     listing.fixedDisk ? ButtonRule::FromChildren : ButtonRule::KeepButton);
}
