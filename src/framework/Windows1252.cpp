#include "Windows1252.h"

#include "StringTable.h"

#include <QStringDecoder>

#include <array>

namespace {

// Unicode of the bytes 0x80-0x9F; the undefined ones keep their own value.
constexpr char16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsUndefined(unsigned char byte) {
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

} // namespace

QChar CharFromWindows1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return QChar(HighControls[byte - 0x80]);
    return QChar(char16_t(byte));
}

int Windows1252FromChar(QChar ch) {
    const char16_t code = ch.unicode();
    if (code < 0x80 || (code >= 0xA0 && code < 0x100)) return code;
    for (int i = 0; i < 32; ++i) {
        if (HighControls[i] == code) return 0x80 + i;
    }
    return -1;
}

QChar* CharsFromWindows1252(std::string_view bytes, QChar* out) {
    // A table, as huge copies convert hundreds of millions of bytes.
    static const std::array<QChar, 256> chars = [] {
        std::array<QChar, 256> table;
        for (int byte = 0; byte < 256; ++byte)
            table[byte] = CharFromWindows1252(static_cast<unsigned char>(byte));
        return table;
    }();
    for (char byte : bytes)
        *out++ = chars[static_cast<unsigned char>(byte)];
    return out;
}

QString TextFromWindows1252(std::string_view bytes) {
    QString text(qsizetype(bytes.size()), Qt::Uninitialized);
    CharsFromWindows1252(bytes, text.data());
    return text;
}

std::string Windows1252FromText(const QString& text, int replacement) {
    std::string bytes;
    bytes.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        const int byte = Windows1252FromChar(ch);
        if (byte >= 0) {
            bytes.push_back(static_cast<char>(byte));
            continue;
        }
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
        if (replacement >= 0) bytes.push_back(static_cast<char>(replacement));
    }
    return bytes;
}

std::string Windows1252FromSetting(std::string_view value) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(QByteArrayView(value.data(), qsizetype(value.size())));
    if (utf8.hasError()) return std::string(value);
    return Windows1252FromText(text, '?');
}

bool IsPrintableWindows1252(unsigned char byte) {
    return byte >= 0x20 && byte != 0x7F && !IsUndefined(byte);
}

QString ResString(unsigned id) {
    const char* text = LoadResString(id);
    return text ? TextFromWindows1252(text) : QString();
}
