#pragma once

#include <QByteArrayView>
#include <QString>

// What the console pane shows of the bytes a server sends, decoded piece by piece as they
// arrive. Bytes are Windows-1252 and are never read as markup. CR LF, a lone CR and a lone
// LF each end a line, also when a CR LF is split between two reads; a tab stays a tab; a
// backspace stays U+0008 for the pane to erase the character before it; every other
// control byte becomes Placeholder, so that nothing the server sends goes unseen.
class CConsoleText {
public:
    static constexpr QChar Placeholder = QChar(0x25A1); // a white square

    QString Decode(QByteArrayView bytes);

private:
    bool m_afterCr = false; // the last byte decoded was a CR
};

// Which colour a received read takes: the text holds "WARNING" (which wins), "ERROR", or
// neither. Case counts; a line split between two reads counts in each read separately.
enum class ConsoleChunkKind { Plain, Warning, Error };
ConsoleChunkKind ClassifyChunk(QByteArrayView bytes);
