#include "ClientSettings.h"

#include "framework/SettingsStore.h"
#include "prefs/IniFile.h"

std::string ClientFolderFromSettingsFile() {
    CIniFile saved;
    saved.SetPath(SettingsStore().GetPath());
    const bool loaded = saved.Load();
    const int section = saved.FindSection("UO");
    if (!loaded || saved.FindKey(section, "Ultima Online") < 0) return "D:\\Spiele\\Ultima Online";
    return saved.GetValue("UO", "Ultima Online");
}
