#pragma once

#include "FolderListing.h"

#include <QFileIconProvider>
#include <QHash>
#include <QIcon>
#include <QSize>

// Icons of folder entries, made once per kind and suffix so that a folder of thousands of
// entries costs a few icon look-ups. Hidden entries come faded, links with an arrow in the
// bottom-left corner. Lives on the user-interface thread.
class CEntryIcons {
public:
    // Pixmaps are made at `size` for a screen of `pixelRatio`.
    CEntryIcons(QSize size, qreal pixelRatio) : m_size(size), m_pixelRatio(pixelRatio) {}

    // The icon of `entry`, which lies at `path`.
    QIcon For(const FolderEntry& entry, const QString& path);

private:
    QIcon Base(const FolderEntry& entry, const QString& path, const QString& key);
    QIcon Decorated(const QIcon& base, bool faded, bool link) const;

    QFileIconProvider m_provider;
    QHash<QString, QIcon> m_bases;     // by kind and suffix
    QHash<QString, QIcon> m_decorated; // the same, faded or with the link arrow
    QSize m_size;
    qreal m_pixelRatio;
};
