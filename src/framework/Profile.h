#pragma once

#include <QString>

// The framework profile: the per-user settings of the framework itself (recent files,
// search and page options), kept by QSettings under the organisation and application names
// set here. A section such as "Editor\Find" is the group "Editor/Find".
void SetRegistryKey(const QString& company, const QString& application);

int GetProfileInt(const QString& section, const QString& entry, int defaultValue);
QString GetProfileString(const QString& section, const QString& entry,
                         const QString& defaultValue = QString());
void WriteProfileInt(const QString& section, const QString& entry, int value);
void WriteProfileString(const QString& section, const QString& entry, const QString& value);
