#include "SettingsStore.h"

#include "prefs/IniFile.h"

#include <QDir>
#include <QFileInfo>

CIniFile& SettingsStore() {
    static CIniFile store;
    return store;
}

QString SettingsText(const std::string& section, const std::string& key) {
    return QString::fromStdString(SettingsStore().GetValue(section, key));
}

QString SphereServerFolder() {
    const QString setting = SettingsText("UO", "SphereServer").trimmed();
    const QFileInfo folder(setting);
    return !setting.isEmpty() && folder.isDir() ? QDir::cleanPath(folder.absoluteFilePath())
                                                : QString();
}
