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
ProgramLaunch InFolder(const QString& folder, const QString& name, const QString& folderSetting,
                       const QString& fileSetting = {}) {
    QString program = folder;
    while (program.endsWith(u'/') || program.endsWith(u'\\'))
        program.chop(1);
    return {program + u'/' + name, folder, folderSetting, fileSetting};
}

} // namespace

ProgramLaunch AxisLaunch(CIniFile& settings) {
    return InFolder(Setting(settings, "Axis"), QStringLiteral("axis.exe"), QStringLiteral("Axis"));
}

ProgramLaunch SphereServerLaunch(CIniFile& settings) {
    ProgramLaunch launch =
        InFolder(Setting(settings, "SphereServer"), QStringLiteral("spheresvr.exe"),
                 QStringLiteral("SphereServer"));
    const QString withoutSuffix = launch.program.chopped(4);
    if (!QFileInfo::exists(launch.program) && QFileInfo(withoutSuffix).isFile())
        launch.program = withoutSuffix;
    return launch;
}

ProgramLaunch ClientLaunch(CIniFile& settings) {
    return InFolder(Setting(settings, "Ultima Online"), Setting(settings, "Ultima Online Client"),
                    QStringLiteral("Ultima Online"), QStringLiteral("UO Client"));
}

QString SettingProblem(const ProgramLaunch& launch) {
    const QString name = QFileInfo(launch.program).fileName();
    if (launch.folder.trimmed().isEmpty())
        return QStringLiteral("the %1 folder is not set.").arg(launch.folderSetting);
    if (!QFileInfo(launch.folder).isDir())
        return QStringLiteral("the %1 folder names no folder.").arg(launch.folderSetting);
    if (!launch.fileSetting.isEmpty() && name.isEmpty())
        return QStringLiteral("the %1 file is not set.").arg(launch.fileSetting);
    if (!QFileInfo(launch.program).isFile())
        return QStringLiteral("the %1 folder holds no %2.").arg(launch.folderSetting, name);
    return {};
}

bool StartProgram(const ProgramLaunch& launch) {
    const QFileInfo info(launch.program);
    if (!info.isFile()) return false;
    if (info.isExecutable()) return QProcess::startDetached(launch.program, {}, launch.folder);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(launch.program));
}
