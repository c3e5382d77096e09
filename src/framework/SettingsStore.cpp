#include "SettingsStore.h"

#include "prefs/IniFile.h"

CIniFile& SettingsStore() {
    static CIniFile store;
    return store;
}

QString SettingsText(const std::string& section, const std::string& key) {
    return QString::fromStdString(SettingsStore().GetValue(section, key));
}
