#include "script/SphereScanner.h"

#include "script/LineMasks.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace {

// Both lists in lower case.
// clang-format off
constexpr std::string_view kFlowWords[] = {
    "if", "else", "elseif", "endif", "return", "on", "onbutton", "begin", "end", "dorand", "enddo",
    "elif", "tryp"
};

constexpr std::string_view kPropertyWords[] = {
    "bodyparts", "reapamount", "reap", "skillreq", "scroll_item", "runes", "rune_item", "manause",
    "effect_id", "cast_time", "statsum", "skillsum", "values", "stat_str", "stat_dex", "stat_int",
    "prompt_msg", "key", "delay", "bonus_str", "bonus_int", "bonus_dex", "bonus_stats", "adv_rate",
    "onoption", "event", "tevent", "noindex", "material", "sellvalue", "ontrigger", "timed",
    "necromancy", "removetrap", "stealth", "meditation", "mining", "lumberjacking", "wrestling",
    "fencing", "macefighting", "swordsmanship", "veterinary", "tracking", "tinkering", "tasteid",
    "taming", "tailoring", "stealing", "spiritspeak", "archery", "poisoning", "musicianship",
    "snooping", "tactics", "magicresistance", "magery", "lockpicking", "inscription", "provocation",
    "hiding", "herding", "forensics", "fishing", "healing", "evaluatingintel", "enticement",
    "detectinghidden", "cooking", "cartography", "carpentry", "camping", "peacemaking", "bowcraft",
    "blacksmithing", "begging", "parrying", "armslore", "itemid", "animallore", "anatomy",
    "alchemy", "subsection", "category", "defname", "can", "snow", "season", "respawn", "rain",
    "dry", "allclients", "low", "medium", "high", "rainchance", "localtod", "localtime",
    "locallight", "light", "complexity", "coldchance", "dupeitem", "dupelist", "anim", "mem",
    "lastvalidtime", "lastvaliddate", "lastpolltime", "clientsavg", "allocs", "accapps", "dyeable",
    "skin", "strength", "dexterity", "intelligence", "int", "dex", "str", "morex", "more", "more2",
    "morep", "morey", "morez", "act", "value", "name", "id", "body", "link", "color", "cont",
    "description", "region", "flags", "tag", "uid", "serial", "vendor", "hiredaywage", "tevents",
    "tspeech", "var", "more1", "hiredwage", "itemnewbie", "speechcolor", "findid", "need", "pages",
    "title", "author", "account", "lastconnectdate", "email", "rtimetext", "sound", "icon", "dam",
    "armor", "resources", "foodtype", "desires", "shelter", "aversions", "fame", "karma",
    "bloodcolor", "item", "npc", "timerd", "hits", "hitpoints", "lightstr", "lightint", "lightdex",
    "bark", "lightkarma", "lightfame", "events", "infamous", "wicked", "outlaw", "belligerant",
    "neutral", "anonymous", "known", "goodhearted", "famous", "sex", "targ", "distance", "type",
    "weight", "attr", "amount", "newitem", "remove", "bounce", "random", "newnpc", "sector",
    "unblocking", "shutdown", "updatex", "update", "message", "sysmessage", "src", "serv",
    "accounts", "worlditems", "section", "character", "eval", "isnighttime", "isdark", "saveini",
    "safe", "resore", "load", "import", "export", "ver", "valid", "urllink", "statnpcs",
    "statmemory", "statitems", "statclients", "stataccounts", "findlayer", "buy", "sell", "say",
    "speak", "dialog", "salute", "addspell", "help", "faq", "skillmenu", "testif", "makeitem",
    "test", "summon", "poly", "drawmap", "target", "restest", "consume", "rand", "damage", "timer",
    "mana", "oskin", "emote", "spelleffect", "effect", "go", "resurrect", "kills", "summonto",
    "summoncage", "jail", "kick", "kill", "p", "food", "home", "obody", "action", "speech",
    "followed", "showskills", "layer", "instances", "dispid", "dye", "trigger", "skillcheck"
};
// clang-format on

constexpr int kMaxWordLength = 15;
constexpr int kLetters = 26;
constexpr int kBucketCount = (kMaxWordLength + 1) * kLetters;
constexpr std::size_t kKeywordCount = std::size(kFlowWords) + std::size(kPropertyWords);

constexpr bool IsLowerListWord(std::string_view word) {
    if (word.empty() || word.size() > std::size_t(kMaxWordLength) || word[0] < 'a' || word[0] > 'z')
        return false;
    return std::ranges::all_of(
        word, [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'; });
}
static_assert(std::ranges::all_of(kFlowWords, IsLowerListWord) &&
                  std::ranges::all_of(kPropertyWords, IsLowerListWord),
              "keywords must be lower-case words that start with a letter and fit a bucket");

constexpr int BucketOf(std::size_t length, unsigned char firstLetter) {
    return int(length) * kLetters + (firstLetter - 'a');
}

struct Keyword {
    std::string_view text;
    SphereWordKind kind;
};

// Both lists grouped by (length, first letter), so that a lookup compares only the few
// words that share both: bucket b holds words[start[b]] up to words[start[b + 1]].
struct KeywordIndex {
    std::array<Keyword, kKeywordCount> words{};
    std::array<std::uint16_t, kBucketCount + 1> start{};
};

constexpr KeywordIndex BuildKeywordIndex() {
    KeywordIndex index;
    auto forEachKeyword = [](auto&& visit) {
        for (std::string_view word : kFlowWords)
            visit(word, SphereWordKind::Flow);
        for (std::string_view word : kPropertyWords)
            visit(word, SphereWordKind::Property);
    };
    forEachKeyword([&](std::string_view word, SphereWordKind) {
        ++index.start[BucketOf(word.size(), word[0]) + 1];
    });
    for (int b = 0; b < kBucketCount; ++b)
        index.start[b + 1] += index.start[b];
    std::array<std::uint16_t, kBucketCount + 1> next = index.start;
    forEachKeyword([&](std::string_view word, SphereWordKind kind) {
        index.words[next[BucketOf(word.size(), word[0])]++] = {word, kind};
    });
    return index;
}

constexpr KeywordIndex kKeywordIndex = BuildKeywordIndex();

constexpr unsigned char FoldAscii(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + ('a' - 'A')) : b;
}

// The keyword kind of a word of 1 to kMaxWordLength bytes.
inline SphereWordKind KeywordKind(const char* word, int length) {
    const unsigned char first = FoldAscii(word[0]);
    if (first < 'a' || first > 'z') return SphereWordKind::None;
    const int bucket = BucketOf(std::size_t(length), first);
    for (int k = kKeywordIndex.start[bucket]; k < kKeywordIndex.start[bucket + 1]; ++k) {
        const Keyword& keyword = kKeywordIndex.words[k];
        // Same bucket: same length and first letter.
        int i = 1;
        while (i < length && FoldAscii(word[i]) == static_cast<unsigned char>(keyword.text[i]))
            ++i;
        if (i == length) return keyword.kind;
    }
    return SphereWordKind::None;
}

// Appends spans in order of start; a span that would start before the last one in the array
// is dropped. The count and the last start are kept here rather than read back from the
// array, and the count is stored once at the end.
class SpanWriter {
public:
    SpanWriter(ColourSpan* spans, int* count)
        : m_spans(spans), m_count(count), m_n(*count), m_last(m_n > 0 ? spans[m_n - 1].start : 0) {}
    ~SpanWriter() { *m_count = m_n; }

    void Add(int start, ColourIndex colour) {
        if (m_last > start) return;
        m_spans[m_n++] = {start, colour};
        m_last = start;
    }

private:
    ColourSpan* m_spans;
    int* m_count;
    int m_n;
    int m_last; // the start of the last span in the array
};

} // namespace

SphereWordKind ClassifySphereWord(const char* word, int length) {
    if (!word || length < 1 || length > kMaxWordLength) return SphereWordKind::None;
    return KeywordKind(word, length);
}

std::span<const std::string_view> SphereFlowWords() {
    return kFlowWords;
}
std::span<const std::string_view> SpherePropertyWords() {
    return kPropertyWords;
}

LineCookie ScanSphereLine(const char* text, int length, LineCookie cookie, ColourSpan* spans,
                          int* count) {
    if (length <= 0) return cookie;
    if (!spans || !count) { // every `//` starts a comment: the scan never passes over one
        const bool comment =
            std::string_view(text, std::size_t(length)).find("//") != std::string_view::npos;
        return comment ? cookie | SphereCommentCookieBit : cookie;
    }

    SpanWriter out(spans, count);
    // A keyword counts as seen even when the writer drops its span (a keyword ended by `@`,
    // whose trigger span starts later), so a flow word after it stays uncoloured.
    bool keywordSeen = false;
    auto classifyWord = [&](int start, int end) {
        if (end - start > kMaxWordLength) return;
        const SphereWordKind kind = KeywordKind(text + start, end - start);
        if (kind == SphereWordKind::Flow && !keywordSeen) {
            out.Add(start, ColourFlowKeyword);
            keywordSeen = true;
        } else if (kind == SphereWordKind::Property) {
            out.Add(start, ColourPropertyKeyword);
            keywordSeen = true;
        }
    };

    // The line is looked at in windows of up to 64 bytes, whose masks of word bytes,
    // slashes and `@` give the word ends and marks in order, with no branch per byte.
    out.Add(0, ColourNormalText);
    bool wordBefore = false;  // the byte before the window is a word byte
    bool slashBefore = false; // ... a slash
    int openWord = -1;        // where the word that the last window ended in starts
    for (int base = 0; base < length; base += kMaskWindow) {
        const int n = std::min(kMaskWindow, length - base);
        const LineMasks m = MasksOf(text, length, base, n);
        const std::uint64_t afterWord = (m.word << 1) | std::uint64_t(wordBefore);
        const std::uint64_t starts = m.word & ~afterWord;
        const std::uint64_t ends = ~m.word & afterWord & LowBits(n);
        // `@` and `//` are never looked at in column 0.
        const std::uint64_t triggers = base == 0 ? m.at & ~std::uint64_t(1) : m.at;
        // A comment starts at the first slash that follows a slash; nothing after it counts.
        const std::uint64_t secondSlashes = m.slash & ((m.slash << 1) | std::uint64_t(slashBefore));
        const int comment = secondSlashes ? std::countr_zero(secondSlashes) : 64;
        for (std::uint64_t events = (ends | triggers) & LowBits(comment); events;
             events &= events - 1) {
            const int at = std::countr_zero(events);
            const std::uint64_t bit = std::uint64_t(1) << at;
            // A trigger mark ending a word comes first, so that a keyword ended by `@` loses
            // its span; normal colour resumes at the byte ending a word once a further byte
            // follows, so a word ended by the line's last byte colours it.
            if (triggers & bit) out.Add(base + at, ColourTriggerMark);
            if (!(ends & bit)) continue;
            const std::uint64_t startsBefore = starts & (bit - 1);
            classifyWord(startsBefore ? base + 63 - std::countl_zero(startsBefore) : openWord,
                         base + at);
            if (base + at + 1 < length) out.Add(base + at, ColourNormalText);
        }
        if (secondSlashes) {
            out.Add(base + comment - 1, ColourComment);
            return cookie | SphereCommentCookieBit;
        }
        wordBefore = (m.word >> (n - 1)) & 1;
        slashBefore = (m.slash >> (n - 1)) & 1;
        if (wordBefore && starts) openWord = base + 63 - std::countl_zero(starts);
    }
    if (wordBefore) classifyWord(openWord, length); // the line ends in a word
    return cookie;
}
