#include "script/SphereScanner.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace {

// Both lists are lower case, so a candidate word is folded and compared byte for byte.
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

constexpr bool IsWordByte(unsigned char b) {
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '_';
}

// What the scan looks for in each byte: word bytes, the two marks `/` and `@`, the rest.
enum class ByteKind : unsigned char { Other, Word, Mark };

constexpr std::array<ByteKind, 256> kByteKinds = [] {
    std::array<ByteKind, 256> kinds{};
    for (int b = 0; b < 256; ++b)
        kinds[b] = IsWordByte(static_cast<unsigned char>(b)) ? ByteKind::Word
                   : (b == '/' || b == '@')                  ? ByteKind::Mark
                                                             : ByteKind::Other;
    return kinds;
}();

// Appends spans in order of start; a span that would start before the last one is dropped.
// Without an array nothing is stored.
class SpanWriter {
public:
    SpanWriter(ColourSpan* spans, int* count) : m_spans(count ? spans : nullptr), m_count(count) {}

    void Add(int start, ColourIndex colour) {
        if (!m_spans) return;
        int& n = *m_count;
        if (n > 0 && m_spans[n - 1].start > start) return;
        m_spans[n++] = {start, colour};
    }

private:
    ColourSpan* m_spans;
    int* m_count;
};

} // namespace

SphereWordKind ClassifySphereWord(const char* word, int length) {
    if (!word || length < 1 || length > kMaxWordLength) return SphereWordKind::None;
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

std::span<const std::string_view> SphereFlowWords() {
    return kFlowWords;
}
std::span<const std::string_view> SpherePropertyWords() {
    return kPropertyWords;
}

LineCookie ScanSphereLine(const char* text, int length, LineCookie cookie, ColourSpan* spans,
                          int* count) {
    if (length <= 0) return cookie;
    SpanWriter out(spans, count);
    LineCookie result = cookie;
    int wordStart = -1;
    bool keywordSeen = false;

    // A keyword counts as seen even when the writer drops its span (a keyword ended by `@`,
    // whose trigger span starts later), so a flow word after it stays uncoloured.
    auto classifyWord = [&](int end) {
        const SphereWordKind kind = ClassifySphereWord(text + wordStart, end - wordStart);
        if (kind == SphereWordKind::Flow && !keywordSeen) {
            out.Add(wordStart, ColourFlowKeyword);
            keywordSeen = true;
        } else if (kind == SphereWordKind::Property) {
            out.Add(wordStart, ColourPropertyKeyword);
            keywordSeen = true;
        }
        wordStart = -1;
    };

    // One pass that skips through runs: a run of word bytes is a word, and of the other
    // bytes only `/` and `@` matter. The first span is normal text from index 0; `@` and
    // `//` are never looked at in column 0.
    out.Add(0, ColourNormalText);
    for (int i = 0; i < length;) {
        if (kByteKinds[static_cast<unsigned char>(text[i])] == ByteKind::Word) {
            wordStart = i;
            do
                ++i;
            while (i < length && kByteKinds[static_cast<unsigned char>(text[i])] == ByteKind::Word);
            if (i == length) break; // the line ends inside the word
            // The byte that ends the word: a trigger mark there comes first, so that a
            // keyword ended by `@` loses its span; normal colour resumes at that byte once
            // a further byte follows, so a word ended by the line's last byte colours it.
            if (text[i] == '@') out.Add(i, ColourTriggerMark);
            classifyWord(i);
            if (i + 1 < length) out.Add(i, ColourNormalText);
            ++i;
            continue;
        }
        if (i > 0 && kByteKinds[static_cast<unsigned char>(text[i])] == ByteKind::Mark) {
            if (text[i] == '/' && text[i - 1] == '/') {
                out.Add(i - 1, ColourComment);
                result |= SphereCommentCookieBit;
                break; // the slash before ended any open word
            }
            if (text[i] == '@') out.Add(i, ColourTriggerMark);
        }
        ++i;
    }
    if (wordStart >= 0) classifyWord(length);
    return result;
}
