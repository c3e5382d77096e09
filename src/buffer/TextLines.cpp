#include "UndoRecord.h"

#include <cstring>

TextLines SplitAtLineBreaks(std::string_view text) {
    TextLines result{std::string(text), {}};
    const char* data = result.text.data();
    const std::size_t size = result.text.size();
    const void* cr = std::memchr(data, '\r', size);
    if (!cr) return result;

    std::size_t lineStart = 0;
    for (std::size_t i = static_cast<const char*>(cr) - data; i < size;) {
        result.pieces.push_back({std::int32_t(lineStart), std::int32_t(i - lineStart)});
        i += (i + 1 < size && data[i + 1] == '\n') ? 2 : 1;
        lineStart = i;
        const void* next = std::memchr(data + i, '\r', size - i);
        i = next ? static_cast<const char*>(next) - data : size;
    }
    result.pieces.push_back({std::int32_t(lineStart), std::int32_t(size - lineStart)});
    return result;
}
