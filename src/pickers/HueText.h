#pragma once

#include <QString>

#include <string>
#include <string_view>

// The texts of the Color Picker for a hue number (hue index + 1), in hexadecimal for
// scripts or in decimal for gumps and dialogs.

// Hexadecimal: two upper-case digits below 256, four from 256 on, with a 0 in front unless
// they begin with one, so that the script reads the value as a number (2 gives 02, 33
// gives 021, 1153 gives 0481).
std::string HueInsertionText(int number, bool decimal);
// "Color Code 0x0002" in hexadecimal, "Color Code: 2" in decimal.
QString HueCodeLabel(int number, bool decimal);
// The bytes of a hue's name as Windows-1252 text, control characters shown as spaces.
QString HueDisplayName(std::string_view bytes);
