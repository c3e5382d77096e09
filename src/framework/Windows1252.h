#pragma once

#include <QChar>
#include <QString>

#include <string>
#include <string_view>

// Conversion between the buffer's single bytes and Unicode with the Windows-1252 code page.
// The five bytes that the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to
// the C1 controls of the same value, so that every byte survives a round trip.

QChar CharFromWindows1252(unsigned char byte);
// The byte of a character, or -1 when Windows-1252 has none for it.
int Windows1252FromChar(QChar ch);

QString TextFromWindows1252(std::string_view bytes);
// Writes the characters of `bytes` from `out` on (room for bytes.size() characters) and
// returns the end of what it wrote.
QChar* CharsFromWindows1252(std::string_view bytes, QChar* out);
// Characters that Windows-1252 cannot encode are left out, or replaced by `replacement`
// when one is given (a character outside the basic plane counts once).
std::string Windows1252FromText(const QString& text, int replacement = -1);

// A value of the settings file (UTF-8) as script bytes, '?' for what Windows-1252 cannot
// show. A value that is not valid UTF-8 was written in Windows-1252 and is kept as it is.
std::string Windows1252FromSetting(std::string_view value);

// True for a byte that shows a visible character: not a control character (0x00-0x1F,
// 0x7F) and not one of the five undefined bytes. The tab is not printable either.
bool IsPrintableWindows1252(unsigned char byte);

// A text of the string table as Unicode; empty for an id the table does not hold.
QString ResString(unsigned id);
