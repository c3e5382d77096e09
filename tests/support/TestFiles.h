#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// Whole-file reads and writes for tests; an unreadable file reads as empty.
inline QByteArray ReadFileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Makes an empty folder the working folder while it lives, so that a path resolved against
// the working folder by mistake (a relative symbolic link) lands there, never in the build
// tree.
class ScratchWorkingFolder {
public:
    ScratchWorkingFolder() { QDir::setCurrent(m_folder.path()); }

private:
    QTemporaryDir m_folder;
};
