#include "SphereIniGeneral.h"

#include "GradientCaption.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr const char* kFieldKeys[] = {"ServName", "AdminEmail", "URL"};
constexpr const char* kTimeZoneKey = "TimeZone";
constexpr int kMaxZone = 12;     // the file's own comment: "GMT offset, from -12 to +12"
constexpr int kFieldWidth = 240; // room for a whole e-mail address or web address

// The entry of a whole number of hours in the list, or -1.
int ZoneIndex(const QComboBox& list, const QString& value) {
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]{1,9}$"));
    if (!whole.match(value).hasMatch()) return -1;
    return list.findData(QString::number(value.toInt()));
}

// Spaces and tabs around a value mean nothing to the server.
QString TrimBlanks(const QString& text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && (text[start] == u' ' || text[start] == u'\t'))
        ++start;
    while (end > start && (text[end - 1] == u' ' || text[end - 1] == u'\t'))
        --end;
    return text.mid(start, end - start);
}

} // namespace

CSphereINIGeneral::CSphereINIGeneral(QWidget* parent) : QWidget(parent) {
    auto* group = new QGroupBox(QStringLiteral("Basic Sphere Info"), this);
    auto* form = new QFormLayout(group);
    const QString labels[] = {QStringLiteral("Server Name:"), QStringLiteral("E-Mail of Admin:"),
                              QStringLiteral("Server Website:")};
    for (int i = 0; i < 3; ++i) {
        m_fields[i] = new QLineEdit(group);
        m_fields[i]->setMinimumWidth(kFieldWidth);
        form->addRow(labels[i], m_fields[i]);
    }
    m_timeZone = new QComboBox(group);
    for (int hours = -kMaxZone; hours <= kMaxZone; ++hours)
        m_timeZone->addItem(hours > 0 ? QStringLiteral("+%1").arg(hours) : QString::number(hours),
                            QString::number(hours));
    form->addRow(QStringLiteral("Server Timezone:"), m_timeZone);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new CGradientCaption(QStringLiteral("General\tBasic Sphere Info"), this));
    layout->addWidget(group);
    layout->addStretch(1);
}

void CSphereINIGeneral::ShowValues(
    const std::function<std::optional<QString>(const char* key)>& valueOf) {
    for (int i = 0; i < 3; ++i) {
        const QString value = valueOf(kFieldKeys[i]).value_or(QString());
        m_fields[i]->setMaxLength(std::max(int(value.size()), 32767));
        m_fields[i]->setText(value);
        m_shown[i] = m_fields[i]->text();
    }
    const std::optional<QString> zone = valueOf(kTimeZoneKey);
    m_shownZone = zone ? ZoneIndex(*m_timeZone, zone->trimmed()) : -1;
    if (m_shownZone < 0) {
        // A value outside the list, or an empty entry for a missing key, heads the list;
        // leaving it chosen writes nothing.
        m_timeZone->insertItem(0, zone.value_or(QString()), zone.value_or(QString()));
        m_shownZone = 0;
    }
    m_timeZone->setCurrentIndex(m_shownZone);
}

std::vector<std::pair<std::string, QString>> CSphereINIGeneral::ChangedValues() const {
    std::vector<std::pair<std::string, QString>> changed;
    for (int i = 0; i < 3; ++i) {
        const QString text = m_fields[i]->text();
        if (text != m_shown[i]) changed.emplace_back(kFieldKeys[i], TrimBlanks(text));
    }
    if (m_timeZone->currentIndex() != m_shownZone)
        changed.emplace_back(kTimeZoneKey, m_timeZone->currentData().toString());
    return changed;
}
