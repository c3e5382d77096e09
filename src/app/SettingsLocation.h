#pragma once

#include <QString>

// Where the settings file quillet.ini lives: the path in the environment variable
// QUILLET_INI when it is set; otherwise beside the program when the program's folder is
// writable; otherwise in the per-user folder `userFolder`, where the program folder's file
// is copied on first use (a system-wide install keeps its defaults read-only).
QString SettingsFilePath(const QString& programFolder, bool programFolderWritable,
                         const QString& userFolder);

// The same for the running program and the user's configuration folder.
QString SettingsFilePath();
