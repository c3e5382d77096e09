#include "ExternalProgram.h"

#include "prefs/IniFile.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

QString Setting(CIniFile& settings, const char* key) {
    return QString::fromStdString(settings.GetValue("UO", key));
}

// The folder and the file name joined with one separator; an empty folder leaves the
// name at the root, as the settings' Windows paths did.
ProgramLaunch InFolder(const QString& folder, const QString& name) {
    QString program = folder;
    while (program.endsWith(u'/') || program.endsWith(u'\\'))
        program.chop(1);
    return {program + u'/' + name, folder};
}

} // namespace

ProgramLaunch AxisLaunch(CIniFile& settings) {
    return InFolder(Setting(settings, "Axis"), QStringLiteral("axis.exe"));
}

ProgramLaunch SphereServerLaunch(CIniFile& settings) {
    ProgramLaunch launch =
        InFolder(Setting(settings, "SphereServer"), QStringLiteral("spheresvr.exe"));
    const QString withoutSuffix = launch.program.chopped(4);
    if (!QFileInfo::exists(launch.program) && QFileInfo(withoutSuffix).isFile())
        launch.program = withoutSuffix;
    return launch;
}

ProgramLaunch ClientLaunch(CIniFile& settings) {
    return InFolder(Setting(settings, "Ultima Online"), Setting(settings, "Ultima Online Client"));
}

bool StartProgram(const ProgramLaunch& launch) {
    const QFileInfo info(launch.program);
    if (!info.isFile()) return false;
    if (info.isExecutable()) return QProcess::startDetached(launch.program, {}, launch.folder);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(launch.program));
}
