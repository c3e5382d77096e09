#pragma once

#include <QByteArray>
#include <QMimeData>

#include <functional>
#include <memory>

class CTextBuffer;
struct TextPosition;

// The clipboard and drag data of a range of the text. It holds the range once, as its exact
// lines in the program's own format (CTextView::LinesMimeType); the plain text that other
// programs read (the lines joined by CR LF, through Windows-1252, two bytes a character) is
// made from those lines each time it is asked for, so that a huge copy is not kept three
// times over.
class CRangeMimeData : public QMimeData {
    Q_OBJECT

public:
    // Told between two slices of lines how much of the copy is done, in thousandths; other
    // work may run there.
    using SliceHook = std::function<void(int permille)>;

    // Null for an empty or invalid range, when the buffer changed between two slices, or
    // when memory ran out.
    static std::unique_ptr<CRangeMimeData> FromRange(CTextBuffer& buffer, TextPosition start,
                                                     TextPosition end,
                                                     const SliceHook& betweenSlices);

    // The length of the plain text, in characters.
    qsizetype TextLength() const { return m_textLength; }

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    CRangeMimeData(QByteArray lines, qsizetype textLength);
    QString Text() const;

    QByteArray m_lines; // each line as a 32-bit little-endian length and its bytes
    qsizetype m_textLength;
};
