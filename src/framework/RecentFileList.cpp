#include "RecentFileList.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kSection = QStringLiteral("Recent File List");

QString EntryName(int index) {
    return kSection + QStringLiteral("/File%1").arg(index + 1);
}

} // namespace

CRecentFileList::CRecentFileList(int size) : m_size(size) {}

void CRecentFileList::ReadList() {
    m_paths.clear();
    const QSettings profile;
    for (int i = 0; i < m_size; ++i) {
        const QString path = profile.value(EntryName(i)).toString();
        if (!path.isEmpty() && !m_paths.contains(path)) m_paths << path;
    }
}

void CRecentFileList::Add(const QString& path) {
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    m_paths.removeAll(absolute);
    m_paths.prepend(absolute);
    while (m_paths.size() > m_size)
        m_paths.removeLast();
    WriteList();
}

void CRecentFileList::Remove(int index) {
    if (index < 0 || index >= m_paths.size()) return;
    m_paths.removeAt(index);
    WriteList();
}

QString CRecentFileList::MenuText(int index) const {
    if (index < 0 || index >= m_paths.size()) return {};
    QString path = QDir::toNativeSeparators(m_paths[index]);
    path.replace(u'&', QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(path);
}

void CRecentFileList::WriteList() const {
    QSettings profile;
    for (int i = 0; i < m_size; ++i) {
        if (i < m_paths.size())
            profile.setValue(EntryName(i), m_paths[i]);
        else
            profile.remove(EntryName(i));
    }
}
