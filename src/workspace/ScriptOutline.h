#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CTextBuffer;

// The roots of the script outline, in the order the Script tree shows them.
enum class OutlineRoot : std::uint8_t { Items, Chars, Functions, Types, Misc };
constexpr int OutlineRootCount = 5;

// The lines an outline can depend on (section headers and DEFNAME lines, up to a bound
// that only huge texts reach), copied out of a buffer into one block. Taking them only
// looks at the first bytes of each line, so the UI thread can take them while a worker
// builds the outline from the copy.
class OutlineLines {
public:
    static OutlineLines From(const CTextBuffer& buffer);

    std::size_t Count() const { return m_entries.size(); }
    // The lines among them that start with '[': as many sections at most.
    std::size_t HeaderCount() const { return m_headers; }
    int LineAt(std::size_t i) const { return m_entries[i].line; }
    std::string_view TextAt(std::size_t i) const {
        return Bytes().substr(m_entries[i].start, m_entries[i].length);
    }
    // All copied bytes; the texts of the lines are pieces of it.
    std::string_view Bytes() const { return m_bytes; }

private:
    struct Entry {
        int line;
        std::uint32_t start;
        std::uint32_t length;
    };
    std::string m_bytes;
    std::vector<Entry> m_entries;
    std::size_t m_headers = 0;
};

// A piece of the copied bytes, by offset, so that it stays right when the copy moves.
struct OutlineText {
    std::uint32_t start = 0;
    std::uint32_t length = 0;
};

// One section of a script: where its header is and what the outline shows for it.
struct OutlineSection {
    int line = 0;
    OutlineRoot root = OutlineRoot::Misc;
    OutlineText header;  // the text between the brackets, as the file has it
    OutlineText defname; // the value of the section's first DEFNAME line, or empty
};

// The sections of a script in file order, with the copied lines their texts are in.
struct ScriptOutline {
    OutlineLines lines;
    std::vector<OutlineSection> sections;

    std::string_view Text(OutlineText text) const {
        return lines.Bytes().substr(text.start, text.length);
    }
};

// [EOF] ends a script and is no section.
ScriptOutline BuildOutline(OutlineLines lines);
