#include "SettingsLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kFileName = QStringLiteral("quillet.ini");

} // namespace

QString SettingsFilePath(const QString& programFolder, bool programFolderWritable,
                         const QString& userFolder) {
    const QString fromEnvironment = qEnvironmentVariable("QUILLET_INI");
    if (!fromEnvironment.isEmpty()) return fromEnvironment;

    const QString besideProgram = QDir(programFolder).filePath(kFileName);
    if (programFolderWritable) return besideProgram;

    const QString perUser = QDir(userFolder).filePath(kFileName);
    if (!QFileInfo::exists(perUser) && QFileInfo::exists(besideProgram) &&
        QDir().mkpath(userFolder))
        QFile::copy(besideProgram, perUser);
    return perUser;
}

QString SettingsFilePath() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    return SettingsFilePath(programFolder, QFileInfo(programFolder).isWritable(),
                            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}
