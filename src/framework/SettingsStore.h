#pragma once

#include <QString>

#include <string>

class CIniFile;

// The settings store: the one settings file of the program (quillet.ini) held in memory
// for the whole run. The main frame gives it its path and loads it at start-up; every
// other part reads its settings from it when it needs them.
CIniFile& SettingsStore();

// A value of the store as text; the file holds bytes, which on this platform are UTF-8.
QString SettingsText(const std::string& section, const std::string& key);

// The "UO"/"SphereServer" folder as a clean absolute path, or empty when the setting names
// no existing folder.
QString SphereServerFolder();
