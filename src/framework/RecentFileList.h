#pragma once

#include <QString>
#include <QStringList>

// The most recently opened files, newest first, kept in the framework profile (section
// "Recent File List", entries "File1", "File2", ...) so that the list survives a restart.
class CRecentFileList {
public:
    explicit CRecentFileList(int size = 4);

    void ReadList();
    // Puts `path` (made absolute) at the front and writes the list to the profile.
    void Add(const QString& path);
    void Remove(int index);

    int Size() const { return m_size; }
    const QStringList& Paths() const { return m_paths; }
    // The menu text of an entry: "&1 path".
    QString MenuText(int index) const;

private:
    void WriteList() const;

    int m_size;
    QStringList m_paths;
};
