#include "StringTable.h"

#include <algorithm>
#include <iterator>

namespace {

struct Entry {
    unsigned id;
    const char* text;
};

// Sorted by id.
constexpr Entry kStrings[] = {
    {8619, "Unknown"},       {8620, "Paste"},   {8621, "Delete Selection"}, {8622, "Cut"},
    {8623, "Delete"},        {8624, "Typing"},  {8625, "Backspace"},        {8626, "Indent"},
    {8627, "Drag And Drop"}, {8628, "Replace"}, {8629, "Auto Indent"},
};

static_assert(std::is_sorted(std::begin(kStrings), std::end(kStrings),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }));

} // namespace

const char* LoadResString(unsigned id) {
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                               [](const Entry& e, unsigned value) { return e.id < value; });
    return (it != std::end(kStrings) && it->id == id) ? it->text : nullptr;
}
