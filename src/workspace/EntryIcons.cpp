#include "EntryIcons.h"

#include "framework/Icons.h"

#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>

namespace {

// The same icon serves every entry of one key: folders, executables, files of one suffix,
// and everything else (files without a suffix, devices, pipes, broken links).
QString BaseKey(const FolderEntry& entry) {
    switch (entry.kind) {
    case FolderEntry::Kind::Folder:
        return QStringLiteral("/");
    case FolderEntry::Kind::Executable:
        return QStringLiteral("*");
    case FolderEntry::Kind::Other:
        return QString();
    case FolderEntry::Kind::File:
        break;
    }
    const qsizetype dot = entry.name.lastIndexOf(u'.');
    return dot > 0 ? entry.name.mid(dot).toLower() : QString();
}

// A white box with a black arrow pointing up and right, filling `box`.
void PaintLinkArrow(QPainter& painter, const QRectF& box) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
    const qreal inset = box.width() / 4;
    const QRectF inner = box.adjusted(inset, inset, -inset, -inset);
    painter.drawLine(inner.bottomLeft(), inner.topRight());
    QPainterPath head;
    head.moveTo(inner.topRight());
    head.lineTo(inner.topRight() + QPointF(-inner.width() * 0.6, 0));
    head.lineTo(inner.topRight() + QPointF(0, inner.height() * 0.6));
    head.closeSubpath();
    painter.fillPath(head, Qt::black);
}

} // namespace

QIcon CEntryIcons::For(const FolderEntry& entry, const QString& path) {
    const QString base = BaseKey(entry);
    if (!entry.hidden && !entry.link) return Base(entry, path, base);
    const QString key = QString(entry.hidden ? u'h' : u'-') + (entry.link ? u'l' : u'-') + base;
    const auto known = m_decorated.constFind(key);
    if (known != m_decorated.constEnd()) return *known;
    const QIcon icon = Decorated(Base(entry, path, base), entry.hidden, entry.link);
    m_decorated.insert(key, icon);
    return icon;
}

QIcon CEntryIcons::Base(const FolderEntry& entry, const QString& path, const QString& key) {
    const auto known = m_bases.constFind(key);
    if (known != m_bases.constEnd()) return *known;
    QIcon icon;
    // The icons that do not depend on the file are looked up when first shown: the tree's
    // roots are made at start-up, behind the tab of the script's outline.
    if (entry.kind == FolderEntry::Kind::Folder) {
        icon = DeferredIcon(
            [] { return QFileIconProvider().icon(QAbstractFileIconProvider::Folder); });
    } else if (key.isEmpty()) {
        icon =
            DeferredIcon([] { return QFileIconProvider().icon(QAbstractFileIconProvider::File); });
    } else {
        // The provider may look at the file itself (its type, its contents): give it the
        // regular file a link leads to, so that its icon carries no link mark of its own.
        const QFileInfo file(path);
        icon = m_provider.icon(entry.link ? QFileInfo(file.symLinkTarget()) : file);
    }
    m_bases.insert(key, icon);
    return icon;
}

QIcon CEntryIcons::Decorated(const QIcon& base, bool faded, bool link) const {
    QPixmap pixmap = base.pixmap(m_size, m_pixelRatio, faded ? QIcon::Disabled : QIcon::Normal);
    if (link && !pixmap.isNull()) {
        QPainter painter(&pixmap);
        const qreal side = m_size.width() / 2.0;
        PaintLinkArrow(painter, QRectF(0, m_size.height() - side, side, side));
    }
    return QIcon(pixmap);
}
