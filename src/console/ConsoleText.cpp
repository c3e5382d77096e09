#include "ConsoleText.h"

#include "framework/Windows1252.h"

QString CConsoleText::Decode(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        const bool lfAfterCr = c == '\n' && m_afterCr;
        m_afterCr = c == '\r';
        if (lfAfterCr) continue;
        if (c == '\r' || c == '\n')
            text += u'\n';
        else if (c == '\t' || c == '\b' || IsPrintableWindows1252(c))
            text += CharFromWindows1252(c);
        else
            text += Placeholder;
    }
    return text;
}

ConsoleChunkKind ClassifyChunk(QByteArrayView bytes) {
    if (bytes.contains("WARNING")) return ConsoleChunkKind::Warning;
    if (bytes.contains("ERROR")) return ConsoleChunkKind::Error;
    return ConsoleChunkKind::Plain;
}
