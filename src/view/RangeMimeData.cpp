#include "RangeMimeData.h"

#include "TextView.h"

#include "buffer/TextBuffer.h"
#include "framework/Windows1252.h"

#include <QtEndian>

#include <cstring>
#include <new>

namespace {

const QString TextMimeType = QStringLiteral("text/plain");

// Lines read between two calls of the slice hook: a few milliseconds of work.
constexpr int kSliceLines = 1 << 16;

// Notes any change of the buffer while the copy lets other work run between slices.
class ChangeWatch : public CBufferObserver {
public:
    explicit ChangeWatch(CTextBuffer& buffer) : m_buffer(buffer) { m_buffer.AttachView(this); }
    ~ChangeWatch() override { m_buffer.DetachView(this); }
    ChangeWatch(const ChangeWatch&) = delete;
    ChangeWatch& operator=(const ChangeWatch&) = delete;

    void OnBufferChanged(CBufferObserver*, const ChangeContext*, unsigned, int) override {
        changed = true;
    }
    void OnEditActionDone(int, std::string_view) override {}

    bool changed = false;

private:
    CTextBuffer& m_buffer;
};

bool IsInside(const CTextBuffer& buffer, TextPosition position) {
    return position.line >= 0 && position.line < buffer.LineCount() && position.ch >= 0 &&
           position.ch <= buffer.LineLength(position.line);
}

} // namespace

CRangeMimeData::CRangeMimeData(QByteArray lines, qsizetype textLength)
    : m_lines(std::move(lines)), m_textLength(textLength) {}

std::unique_ptr<CRangeMimeData> CRangeMimeData::FromRange(CTextBuffer& buffer, TextPosition start,
                                                          TextPosition end,
                                                          const SliceHook& betweenSlices) {
    if (!IsInside(buffer, start) || !IsInside(buffer, end) || !(start < end)) return nullptr;
    // The part of a line inside the range: its first byte and its length.
    const auto from = [&](int line) { return line == start.line ? start.ch : 0; };
    const auto length = [&](int line) {
        return (line == end.line ? end.ch : buffer.LineLength(line)) - from(line);
    };
    // Two passes over the lines, the lengths and then the bytes, in slices of lines.
    const qint64 lineCount = qint64(end.line) - start.line + 1;
    ChangeWatch watch(buffer);
    qint64 linesDone = 0;
    const auto forEachLine = [&](const auto& take) {
        for (int line = start.line; line <= end.line; ++line) {
            take(line);
            if (++linesDone % kSliceLines == 0) {
                betweenSlices(int(linesDone * 500 / lineCount));
                if (watch.changed) return false;
            }
        }
        return true;
    };
    qsizetype bytes = 0;
    if (!forEachLine([&](int line) { bytes += length(line); })) return nullptr;
    const qsizetype textLength = bytes + 2 * (lineCount - 1);
    try {
        QByteArray lines(qsizetype(sizeof(quint32_le)) * lineCount + bytes, Qt::Uninitialized);
        char* out = lines.data();
        const bool copied = forEachLine([&](int line) {
            const int count = length(line);
            const quint32_le size{quint32(count)};
            std::memcpy(out, &size, sizeof size);
            out += sizeof size;
            if (count > 0) std::memcpy(out, buffer.LineText(line) + from(line), std::size_t(count));
            out += count;
        });
        if (!copied) return nullptr;
        return std::unique_ptr<CRangeMimeData>(new CRangeMimeData(std::move(lines), textLength));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

QStringList CRangeMimeData::formats() const {
    return {TextMimeType, CTextView::LinesMimeType};
}

bool CRangeMimeData::hasFormat(const QString& mimeType) const {
    return mimeType == TextMimeType || mimeType == CTextView::LinesMimeType;
}

QVariant CRangeMimeData::retrieveData(const QString& mimeType, QMetaType) const {
    if (mimeType == TextMimeType) return Text();
    if (mimeType == CTextView::LinesMimeType) return m_lines;
    return {};
}

QString CRangeMimeData::Text() const {
    QString text(m_textLength, Qt::Uninitialized);
    QChar* out = text.data();
    const char* const first = m_lines.constData();
    for (const char* at = first; at != first + m_lines.size();) {
        if (at != first) {
            *out++ = u'\r';
            *out++ = u'\n';
        }
        quint32_le length;
        std::memcpy(&length, at, sizeof length);
        at += sizeof length;
        out = CharsFromWindows1252({at, std::size_t(length)}, out);
        at += length;
    }
    return text;
}
