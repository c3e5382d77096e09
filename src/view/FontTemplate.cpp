#include "FontTemplate.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>

namespace {

void ApplyTemplate(QFont& font, const FontTemplate& source, bool italic, bool bold) {
    // Every property is set, so that a painter does not fill one in from the widget's font.
    if (source.height != 0)
        font.setPixelSize(qAbs(source.height));
    else
        font.setPointSizeF(QFontInfo(font).pointSizeF());
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(italic);
    font.setKerning(false);
    font.setFixedPitch(true);
}

// Some monospace faces do not declare themselves fixed-pitch; their glyphs still agree.
bool IsMonospace(const QFont& font) {
    const QFontMetricsF metrics(font);
    return QFontInfo(font).fixedPitch() ||
           metrics.horizontalAdvance(u'i') == metrics.horizontalAdvance(u'W');
}

} // namespace

QFont MakeViewFont(const FontTemplate& source, bool italic, bool bold) {
    QFont font(source.faceName);
    font.setStyleHint(QFont::Monospace);
    ApplyTemplate(font, source, italic, bold);
    if (IsMonospace(font)) return font;
    QFont fallback = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    ApplyTemplate(fallback, source, italic, bold);
    return fallback;
}
