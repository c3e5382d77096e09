#include "script/SphereScanner.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

#include <algorithm>
#include <vector>

namespace {

struct Scanned {
    QList<ColourSpan> spans;
    int count;
    LineCookie cookie;
};

// Scans a copy of the line held in a block of exactly its size, after two spans already in
// an array with room for exactly 2n more, so that AddressSanitizer catches a read past the
// text or a write past the array. The spans already there must stay; a count of -1 says
// they did not.
Scanned Scan(const QByteArray& line, LineCookie cookie) {
    const std::vector<char> text(line.begin(), line.end());
    std::vector<ColourSpan> spans(2 + 2 * text.size());
    spans[0] = {0, ColourComment};
    spans[1] = {0, ColourBackground};
    Scanned result{{}, 2, 0};
    result.cookie =
        ScanSphereLine(text.data(), int(text.size()), cookie, spans.data(), &result.count);
    const auto stored = std::clamp<std::size_t>(std::size_t(result.count), 2, spans.size());
    result.spans = QList<ColourSpan>(spans.begin() + 2, spans.begin() + qsizetype(stored));
    const bool kept = spans[0].colour == ColourComment && spans[1].colour == ColourBackground;
    result.count = kept ? result.count - 2 : -1;
    return result;
}

LineCookie CookieOnly(const QByteArray& line, LineCookie cookie) {
    const std::vector<char> text(line.begin(), line.end());
    return ScanSphereLine(text.data(), int(text.size()), cookie, nullptr, nullptr);
}

// Spans as "start letter" pairs: N normal, F flow, C comment, T trigger, P property.
QString Describe(const QList<ColourSpan>& spans) {
    constexpr std::string_view letters = "??N???FCTP"; // indexed by colour
    QStringList parts;
    for (const ColourSpan& span : spans) {
        const auto colour = std::size_t(std::uint32_t(span.colour));
        parts << QString::number(span.start) +
                     QLatin1Char(colour < letters.size() ? letters[colour] : '?');
    }
    return parts.join(QLatin1Char(' '));
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}
char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - ('a' - 'A')) : c;
}
bool IsAsciiWordByte(char c) {
    return FoldAscii(c) != UpperAscii(c) || (c >= '0' && c <= '9') || c == '_';
}

bool EqualsIgnoringAsciiCase(std::string_view a, QByteArrayView b) {
    if (qsizetype(a.size()) != b.size()) return false;
    for (qsizetype i = 0; i < b.size(); ++i)
        if (FoldAscii(a[std::size_t(i)]) != FoldAscii(b[i])) return false;
    return true;
}

// The plain walk over both lists that the indexed lookup must agree with. A word in both
// lists has no kind here, so the lookup, which has to pick one, disagrees on it.
SphereWordKind ReferenceKind(QByteArrayView word) {
    const auto listed = [&](std::span<const std::string_view> list) {
        return std::ranges::any_of(
            list, [&](std::string_view entry) { return EqualsIgnoringAsciiCase(entry, word); });
    };
    const bool flow = listed(SphereFlowWords()), property = listed(SpherePropertyWords());
    if (flow == property) return SphereWordKind::None;
    return flow ? SphereWordKind::Flow : SphereWordKind::Property;
}

// The scan one byte at a time, as the scanner first did it: the reference that the scan by
// bit masks must agree with, span for span. Spans go through the same rule: one starting
// before the last in the array is dropped.
LineCookie ReferenceScan(const char* text, int length, LineCookie cookie, ColourSpan* spans,
                         int* count) {
    if (length <= 0) return cookie;
    const auto add = [&](int start, ColourIndex colour) {
        if (*count > 0 && spans[*count - 1].start > start) return;
        spans[(*count)++] = {start, colour};
    };
    LineCookie result = cookie;
    int wordStart = -1;
    bool keywordSeen = false;
    const auto classifyWord = [&](int end) {
        const SphereWordKind kind = ClassifySphereWord(text + wordStart, end - wordStart);
        if (kind == SphereWordKind::Flow && !keywordSeen) {
            add(wordStart, ColourFlowKeyword);
            keywordSeen = true;
        } else if (kind == SphereWordKind::Property) {
            add(wordStart, ColourPropertyKeyword);
            keywordSeen = true;
        }
        wordStart = -1;
    };
    add(0, ColourNormalText);
    for (int i = 0; i < length;) {
        if (IsAsciiWordByte(text[i])) {
            wordStart = i;
            while (i < length && IsAsciiWordByte(text[i]))
                ++i;
            if (i == length) break;
            if (text[i] == '@') add(i, ColourTriggerMark);
            classifyWord(i);
            if (i + 1 < length) add(i, ColourNormalText);
            ++i;
            continue;
        }
        if (i > 0 && text[i] == '/' && text[i - 1] == '/') {
            add(i - 1, ColourComment);
            result |= SphereCommentCookieBit;
            break;
        }
        if (i > 0 && text[i] == '@') add(i, ColourTriggerMark);
        ++i;
    }
    if (wordStart >= 0) classifyWord(length);
    return result;
}

QStringList CorpusFiles() {
    const QDir dir(QStringLiteral(QUILLET_CORPUS_DIR));
    QStringList paths;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

QByteArrayList Words(std::span<const std::string_view> list) {
    QByteArrayList words;
    for (std::string_view word : list)
        words << QByteArray(word.data(), qsizetype(word.size()));
    return words;
}

} // namespace

class TestSphereScanner : public QObject {
    Q_OBJECT

private slots:
    void lookupMatchesReferenceWalk_data() {
        QTest::addColumn<QByteArrayList>("candidates");
        const QByteArrayList words = Words(SphereFlowWords()) + Words(SpherePropertyWords());
        QByteArrayList upper, mixed, prefixes, extended, caseBitFlipped, singleBytes;
        for (const QByteArray& word : words) {
            upper << word.toUpper();
            QByteArray alternating = word;
            for (qsizetype i = 0; i < alternating.size(); i += 2)
                alternating[i] = UpperAscii(alternating[i]);
            mixed << alternating;
            for (qsizetype n = 0; n < word.size(); ++n)
                prefixes << word.left(n);
            extended << word + "s" << word + "2" << word + "_"
                     << "x" + word << word.toUpper() + "E";
            for (qsizetype i = 0; i < word.size(); ++i) {
                QByteArray flipped = word;
                flipped[i] = char(flipped[i] ^ 0x20);
                caseBitFlipped << flipped;
            }
        }
        for (int b = 0; b < 256; ++b)
            singleBytes << QByteArray(1, char(b));
        QSet<QByteArray> corpusWords;
        for (const QString& path : CorpusFiles()) {
            const QByteArray text = ReadFileBytes(path);
            qsizetype start = -1;
            for (qsizetype i = 0; i <= text.size(); ++i) {
                const bool wordByte = i < text.size() && IsAsciiWordByte(text[i]);
                if (wordByte && start < 0) start = i;
                if (!wordByte && start >= 0) {
                    corpusWords.insert(text.mid(start, i - start));
                    start = -1;
                }
            }
        }
        QTest::newRow("list words as listed") << words;
        QTest::newRow("list words in upper case") << upper;
        QTest::newRow("list words in alternating case") << mixed;
        QTest::newRow("proper prefixes of list words") << prefixes;
        QTest::newRow("list words with a byte added") << extended;
        QTest::newRow("list words with bit 0x20 of one byte flipped") << caseBitFlipped;
        QTest::newRow("every single byte") << singleBytes;
        if (!corpusWords.isEmpty())
            QTest::newRow("every word of the corpus files") << QByteArrayList(corpusWords.values());
    }

    void lookupMatchesReferenceWalk() {
        QFETCH(QByteArrayList, candidates);
        for (const QByteArray& word : candidates) {
            const SphereWordKind expected = ReferenceKind(word);
            const SphereWordKind actual = ClassifySphereWord(word.constData(), int(word.size()));
            if (actual != expected)
                QFAIL(qPrintable(QStringLiteral("\"%1\": lookup %2, list walk %3")
                                     .arg(QString::fromLatin1(word.toPercentEncoding()))
                                     .arg(int(actual))
                                     .arg(int(expected))));
        }
    }

    void scanLine_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<uint>("cookieIn");
        QTest::addColumn<QString>("spans");
        QTest::addColumn<uint>("cookieOut");

        auto row = [](const char* name, const QByteArray& line, const char* spans, uint in = 0,
                      uint out = 0) {
            QTest::newRow(name) << line << in << QString::fromLatin1(spans) << out;
        };
        row("empty line: no spans, cookie unchanged", "", "", 0xA5A5A5A4u, 0xA5A5A5A4u);
        row("ON=@Create: empty first span, flow, normal, trigger to the end", "ON=@Create",
            "0N 0F 2N 3T");
        row("only the first keyword can be a flow word", "IF x RETURN", "0N 0F 2N 4N");
        row("flow word after a property word stays normal", "MORE IF", "0N 0P 4N");
        row("property word after a flow word is coloured", "IF MORE2", "0N 0F 2N 3P");
        row("words that are no keyword leave normal spans", "items=1", "0N 5N");
        row("upper-case property word to the line's end", "ITEMID", "0N 0P");
        row("leading blanks before a flow word", " \telse", "0N 2F");
        row("word starting with a digit is no keyword", "2more", "0N");
        row("underscore joins a word", "scroll_item=1", "0N 0P 11N");
        row("word ended by the last byte keeps that byte", "IF(", "0N 0F");
        row("x // y: comment after a normal span", "x // y", "0N 1N 2C", 0, 1);
        row("two slashes at the start make the line comment", "//ON=@x", "0N 0C", 0, 1);
        row("comment ends a property word", "EVENTS=// x", "0N 0P 6N 7C", 0, 1);
        row("comment right after a word", "ON=@x//y", "0N 0F 2N 3T 5N 5C", 0, 1);
        row("single slashes are no comment", "a/b / c", "0N 1N 3N");
        row("comment keeps the other cookie bits", "x//", "0N 1N 1C", 0xFFFFFFFEu, 0xFFFFFFFFu);
        row("bit 0 of the incoming cookie survives a line without comment", "x", "0N", 5, 5);
        row("@ at index 0 is not marked", "@Create", "0N");
        row("trigger runs over the word after @", "x=@Tick y", "0N 1N 2T 7N");
        row("trigger word that is a keyword takes its colour", "ON=@timer", "0N 0F 2N 3T 4P");
        row("@ ending a word gets an empty trigger span", "x@y", "0N 1T 1N");
        row("keyword ended by @ loses its span yet counts as first", "ON@x ELSE", "0N 2T 2N 4N");
        row("two @ in a row", "x@@y", "0N 1T 1N 2T");
        row("bytes from 0x80 end words", "IF\xA0RETURN\xFFMORE", "0N 0F 2N 9N 10P");
        row("byte 0x80 before a word", "\x80on", "0N 1F");
    }

    void scanLine() {
        QFETCH(QByteArray, line);
        QFETCH(uint, cookieIn);
        QFETCH(QString, spans);
        QFETCH(uint, cookieOut);

        const Scanned scanned = Scan(line, cookieIn);
        QCOMPARE(Describe(scanned.spans), spans);
        QCOMPARE(scanned.cookie, cookieOut);
        QCOMPARE(scanned.count, int(scanned.spans.size()));
        QCOMPARE(CookieOnly(line, cookieIn), cookieOut);
        // The incoming cookie never changes the colours.
        QCOMPARE(Describe(Scan(line, ~cookieIn).spans), spans);
    }

    // Random lines of keywords in any case, other words, marks, blanks and bytes from 0x80,
    // up to 200 bytes long, so that words, `@` and `//` fall on both sides of the edges of
    // the 16- and 64-byte blocks the scan reads; the array holds a span already, starting
    // at 0 or later.
    void randomLinesMatchTheByteByByteScan() {
        const QByteArrayList keywords = Words(SphereFlowWords()) + Words(SpherePropertyWords());
        const QByteArrayList pieces = {
            "@", "/",  "//",   " ",    "\t", "=",      "_",
            "0", "x9", "\xa0", "\xff", "(",  "<EVAL>", "ab_cd_ef_gh_ij_kl_mn"};
        QRandomGenerator random(20240611);
        for (int round = 0; round < 20000; ++round) {
            QByteArray line;
            const int target = random.bounded(round % 4 == 0 ? 200 : 40);
            while (line.size() < target) {
                QByteArray piece = random.bounded(3) == 0
                                       ? keywords[random.bounded(int(keywords.size()))]
                                       : pieces[random.bounded(int(pieces.size()))];
                if (random.bounded(2)) piece = piece.toUpper();
                line += piece;
            }
            const std::vector<char> text(line.begin(), line.end());
            const int n = int(text.size());
            const LineCookie cookie = random.generate();
            const ColourSpan before{random.bounded(2) ? 0 : random.bounded(n + 2), ColourComment};
            std::vector<ColourSpan> expected(1 + 2 * text.size(), before), actual = expected;
            int expectedCount = 1, actualCount = 1;
            const LineCookie expectedCookie =
                ReferenceScan(text.data(), n, cookie, expected.data(), &expectedCount);
            const LineCookie actualCookie =
                ScanSphereLine(text.data(), n, cookie, actual.data(), &actualCount);
            expected.resize(std::size_t(expectedCount));
            actual.resize(std::size_t(actualCount));
            const QByteArray where = line.toPercentEncoding();
            QVERIFY2(actualCookie == expectedCookie, where);
            QVERIFY2(CookieOnly(line, cookie) == expectedCookie, where);
            QVERIFY2(Describe(QList<ColourSpan>(actual.begin(), actual.end())) ==
                         Describe(QList<ColourSpan>(expected.begin(), expected.end())),
                     where);
        }
    }

    void corpusLines_data() {
        QTest::addColumn<QString>("path");
        const QStringList paths = CorpusFiles();
        if (paths.isEmpty()) QSKIP("no corpus of scripts beside the project");
        for (const QString& path : paths)
            QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
    }

    void corpusLines() {
        QFETCH(QString, path);
        const QByteArray text = ReadFileBytes(path);
        QVERIFY(!text.isEmpty());
        int lineIndex = 0;
        for (QByteArray line : text.split('\n')) {
            if (line.endsWith('\r')) line.chop(1);
            // Bit 0 clear on the way in, so it says whether this line holds a comment.
            const LineCookie in = LineCookie(++lineIndex) << 1;
            const Scanned scanned = Scan(line, in);
            const QByteArray where = path.toLocal8Bit() + ':' + QByteArray::number(lineIndex);
            QVERIFY2(scanned.cookie == (in | (line.contains("//") ? 1u : 0u)), where);
            QVERIFY2(CookieOnly(line, in) == scanned.cookie, where);
            QVERIFY2(scanned.count >= 0 && scanned.count <= 2 * line.size(), where);
            for (qsizetype k = 0; k < scanned.spans.size(); ++k) {
                const int start = scanned.spans[k].start;
                QVERIFY2(start >= 0 && start < line.size(), where);
                QVERIFY2(k == 0 || scanned.spans[k - 1].start <= start, where);
            }
            if (!line.isEmpty())
                QVERIFY2(scanned.spans.first().start == 0 &&
                             scanned.spans.first().colour == ColourNormalText,
                         where);
        }
    }
};

QTEST_APPLESS_MAIN(TestSphereScanner)
#include "tst_SphereScanner.moc"
