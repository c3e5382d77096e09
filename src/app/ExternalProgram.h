#pragma once

#include <QString>

class CIniFile;

// An external program of the user's setup and the folder it runs in.
struct ProgramLaunch {
    QString program;
    QString folder;
    QString folderSetting; // as Preferences names it: "Axis", "SphereServer", "Ultima Online"
    QString fileSetting;   // "UO Client" when the file name is a setting too
};

// Built from the "UO" section of the settings: Axis is axis.exe in the "Axis" folder,
// SphereServer is spheresvr.exe in the "SphereServer" folder (or spheresvr, as Linux
// builds of the server are called, when only that exists), the client is the
// "Ultima Online Client" file in the "Ultima Online" folder. Each runs in its folder.
ProgramLaunch AxisLaunch(CIniFile& settings);
ProgramLaunch SphereServerLaunch(CIniFile& settings);
ProgramLaunch ClientLaunch(CIniFile& settings);

// Why the settings name no program to start, naming the setting as Preferences shows it
// ("the SphereServer folder is not set", "the UO Client file is not set", "the Axis folder
// holds no axis.exe"); empty when the program is there.
QString SettingProblem(const ProgramLaunch& launch);

// Starts an executable file detached in its folder, or opens any other existing file
// with the desktop's application for it. No shell command line is built. False when
// nothing could be started.
bool StartProgram(const ProgramLaunch& launch);
