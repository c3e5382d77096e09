#include "Profile.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

QString KeyOf(const QString& section, const QString& entry) {
    QString group = section;
    group.replace(u'\\', u'/');
    return group + u'/' + entry;
}

} // namespace

void SetRegistryKey(const QString& company, const QString& application) {
    QCoreApplication::setOrganizationName(company);
    QCoreApplication::setApplicationName(application);
}

int GetProfileInt(const QString& section, const QString& entry, int defaultValue) {
    bool ok = false;
    const int value = QSettings().value(KeyOf(section, entry)).toInt(&ok);
    return ok ? value : defaultValue;
}

QString GetProfileString(const QString& section, const QString& entry,
                         const QString& defaultValue) {
    return QSettings().value(KeyOf(section, entry), defaultValue).toString();
}

void WriteProfileInt(const QString& section, const QString& entry, int value) {
    QSettings().setValue(KeyOf(section, entry), value);
}

void WriteProfileString(const QString& section, const QString& entry, const QString& value) {
    QSettings().setValue(KeyOf(section, entry), value);
}
