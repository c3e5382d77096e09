#pragma once

#include "clientfiles/ColorFrom555.h"
#include "clientfiles/HueFile.h"

#include <QColor>

// Colour `j` (0..31) of hue index `hue` on screen; an invalid colour for a hue the file
// does not hold, which the pickers leave empty rather than paint black.
inline QColor HueColour(const CHueFile& hues, int hue, int j) {
    if (hue < 0 || hue >= hues.Count()) return {};
    return QColor(QRgb(ColorFrom555(hues.Colour(hue, j))));
}
