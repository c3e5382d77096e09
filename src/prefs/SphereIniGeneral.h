#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QComboBox;
class QLineEdit;

// The page "Basic Sphere Info" of the Sphere.ini form: the server's name, the
// administrator's e-mail, the website and the time zone, each tied to its key of the
// [SPHERE] section.
class CSphereINIGeneral : public QWidget {
    Q_OBJECT

public:
    explicit CSphereINIGeneral(QWidget* parent = nullptr);

    QLineEdit* ServerName() const { return m_fields[0]; }
    QLineEdit* AdminEmail() const { return m_fields[1]; }
    QLineEdit* Website() const { return m_fields[2]; }
    QComboBox* TimeZone() const { return m_timeZone; }

    // Shows the value of each key, nothing for a missing one; called once. A time zone outside -12
    // to +12 is shown as an entry of its own, so that it is not lost.
    void ShowValues(const std::function<std::optional<QString>(const char* key)>& valueOf);
    // (key, text) of each field that differs from what was shown, without the spaces and
    // tabs around the text.
    std::vector<std::pair<std::string, QString>> ChangedValues() const;

private:
    QLineEdit* m_fields[3];
    QString m_shown[3];
    QComboBox* m_timeZone;
    int m_shownZone = -1;
};
