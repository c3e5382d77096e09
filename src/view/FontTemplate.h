#pragma once

#include <QFont>
#include <QString>

// What the view makes its fonts from: face name, height in pixels (0 = the face's
// default size), weight (400 normal, 700 bold), italic and character set.
struct FontTemplate {
    QString faceName = QStringLiteral("FixedSys");
    int height = 0;
    int weight = 400;
    bool italic = false;
    int charSet = 1; // any character set

    friend bool operator==(const FontTemplate&, const FontTemplate&) = default;
};

// A font for the template with the given italic and bold state. A face that does not
// exist or is not fixed-pitch resolves to the system's monospace face.
QFont MakeViewFont(const FontTemplate& font, bool italic, bool bold);
