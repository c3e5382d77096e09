#include "HueText.h"

#include "framework/Windows1252.h"

#include <cstdio>

std::string HueInsertionText(int number, bool decimal) {
    if (decimal) return std::to_string(number);
    char digits[8];
    std::snprintf(digits, sizeof digits, number < 256 ? "%02X" : "%04X", unsigned(number));
    return digits[0] == '0' ? std::string(digits) : '0' + std::string(digits);
}

QString HueCodeLabel(int number, bool decimal) {
    if (decimal) return QStringLiteral("Color Code: %1").arg(number);
    return QString::asprintf(number < 256 ? "Color Code 0x00%02X" : "Color Code 0x%04X",
                             unsigned(number));
}

QString HueDisplayName(std::string_view bytes) {
    QString name = TextFromWindows1252(bytes);
    for (QChar& ch : name) {
        if (ch.category() == QChar::Other_Control) ch = u' ';
    }
    return name;
}
