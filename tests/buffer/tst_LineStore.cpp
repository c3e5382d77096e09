// The line storage behind the text buffer: lines read into one block, lines with records of
// their own, flags, and small segments so that offsets past one segment are exercised
// without huge files.
#include "buffer/LineLoader.h"
#include "buffer/LineStore.h"

#include <QtTest>

#include <random>
#include <string>
#include <vector>

namespace {

struct ModelLine {
    std::string text;
    std::uint32_t flags = 0;
};

// Feeds `bytes` to a loader in pieces of random size, so that line ends fall across reads.
LineLoader::Refusal Load(LineStore& store, std::string_view bytes, std::string_view lineEnd,
                         std::size_t sizeHint, std::mt19937& random, LineLimits limits = {}) {
    LineLoader loader(store, lineEnd, sizeHint, limits);
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t n = std::min<std::size_t>(random() % 40 + 1, bytes.size() - at);
        std::memcpy(loader.ReadSpace(n), bytes.data() + at, n);
        if (!loader.Consume(n)) return loader.Refused();
        at += n;
    }
    loader.Finish();
    return loader.Refused();
}

// What a store holds, joined by `lineEnd`, written as a file is: runs of untouched read lines
// as they were read, other lines one by one.
std::string Written(const LineStore& store, std::string_view lineEnd) {
    std::string out;
    for (int i = 0; i < store.Count();) {
        std::string_view run;
        const int next = lineEnd == store.FileLineEnd() ? store.FileRun(i, run) : i;
        if (next > i) {
            out += run;
            i = next;
            continue;
        }
        out.append(store.Text(i), std::size_t(store.Length(i)));
        if (++i < store.Count()) out += lineEnd;
    }
    return out;
}

std::string Joined(const std::vector<ModelLine>& model, std::string_view lineEnd) {
    std::string out;
    for (std::size_t i = 0; i < model.size(); ++i)
        out += (i ? std::string(lineEnd) : std::string()) + model[i].text;
    return out;
}

} // namespace

class TestLineStore : public QObject {
    Q_OBJECT

private slots:
    void editsAgainstModel_data() {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("segmentBits");
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::addColumn<int>("fileLines");
        QTest::newRow("CR LF, one segment") << 1u << 31 << QByteArray("\r\n") << 100;
        QTest::newRow("CR LF, 16-byte segments") << 2u << 4 << QByteArray("\r\n") << 100;
        QTest::newRow("LF CR, 64-byte segments") << 3u << 6 << QByteArray("\n\r") << 100;
        QTest::newRow("LF, 8-byte segments, lines skip segments")
            << 4u << 3 << QByteArray("\n") << 100;
        QTest::newRow("a file of one line") << 5u << 4 << QByteArray("\r\n") << 1;
        QTest::newRow("a file of two lines") << 6u << 31 << QByteArray("\n") << 2;
    }
    // A file read in random pieces, then lines edited, flagged, inserted and removed at
    // random; after every step each line, the flag count and the written file match a plain
    // model.
    void editsAgainstModel() {
        QFETCH(quint32, seed);
        QFETCH(int, segmentBits);
        QFETCH(QByteArray, lineEnd);
        QFETCH(int, fileLines);
        const std::string end = lineEnd.toStdString();
        std::mt19937 random(seed);
        // Bytes that may stand inside a line: stray CR or LF, but never the whole line end.
        const std::string alphabet =
            end == "\n" ? std::string("ab\r\t\0", 5) : std::string("ab\r\n\t\0", 6);
        const auto randomText = [&](int longest) {
            std::string text;
            for (int n = int(random() % (longest + 1)); n > 0; --n) {
                text += alphabet[random() % alphabet.size()];
                if (text.size() >= end.size() && text.ends_with(end)) text.pop_back();
            }
            return text;
        };

        std::vector<ModelLine> model(std::size_t(fileLines), ModelLine{});
        for (ModelLine& line : model)
            line.text = randomText(line.text.empty() && random() % 4 == 0 ? 70 : 12);
        const std::string file = Joined(model, end);
        LineStore store(segmentBits);
        const std::size_t hint = random() % 2 ? file.size() : file.size() / 3;
        QCOMPARE(Load(store, file, end, hint, random), LineLoader::Refusal::None);
        QCOMPARE(Written(store, end), file);

        // Positions near the ends come up often: that is where a read line is first or last.
        const auto pick = [&](int limit) {
            const int edge = int(random() % 8);
            return edge < 4 ? std::clamp(edge < 2 ? edge : limit - 4 + edge, 0, limit)
                            : int(random() % (limit + 1));
        };
        for (int step = 0; step < 300; ++step) {
            const int count = store.Count();
            const int line = pick(count - 1);
            switch (random() % 5) {
            case 0: { // an edit inside a line
                LineStore::OwnLine& own = store.Own(line);
                const std::string add = randomText(20);
                const int at = int(random() % (own.length + 1));
                LineStore::ReserveInLine(own, own.length + std::int32_t(add.size()));
                std::memmove(own.text + at + add.size(), own.text + at, own.length - at);
                std::memcpy(own.text + at, add.data(), add.size());
                own.length += std::int32_t(add.size());
                model[line].text.insert(at, add);
                break;
            }
            case 1: { // a line cut short in place
                LineStore::OwnLine& own = store.Own(line);
                own.length = std::int32_t(random() % (own.length + 1));
                model[line].text.resize(std::size_t(own.length));
                break;
            }
            case 2: {
                const std::uint32_t flags = random() % 3 ? 1u << (random() % 20) : 0;
                store.SetFlags(line, flags);
                model[line].flags = flags;
                break;
            }
            case 3: {
                const int at = pick(count);
                std::vector<LineStore::OwnLine> lines;
                std::vector<ModelLine> added;
                for (int n = int(random() % 4) + 1; n > 0; --n) {
                    added.push_back({randomText(10)});
                    lines.push_back(LineStore::MakeLine(added.back().text));
                }
                store.PrepareInsert(at, lines.size());
                store.Insert(at, lines);
                model.insert(model.begin() + at, added.begin(), added.end());
                break;
            }
            default: {
                if (count == 1) break;
                const int to = std::min(count, line + 1 + int(random() % 5));
                store.PrepareErase(line, to);
                store.Erase(line, to);
                model.erase(model.begin() + line, model.begin() + to);
                if (model.empty()) { // a text keeps one line
                    std::vector<LineStore::OwnLine> empty{LineStore::MakeLine({})};
                    store.PrepareInsert(0, 1);
                    store.Insert(0, empty);
                    model.push_back({});
                }
            }
            }
            QCOMPARE(store.Count(), int(model.size()));
            int flagged = 0;
            for (int i = 0; i < store.Count(); ++i) {
                QCOMPARE(std::string(store.Text(i), std::size_t(store.Length(i))), model[i].text);
                QCOMPARE(std::string(store.Line(i)), model[i].text);
                QCOMPARE(store.Flags(i), model[i].flags);
                flagged += model[i].flags != 0;
            }
            QCOMPARE(store.FlaggedLines(), flagged);
            // A pass over a stretch of lines, from any line to any line after it.
            const int first = store.Count() ? int(random() % std::uint32_t(store.Count())) : 0;
            const int last = first + int(random() % std::uint32_t(store.Count() - first + 1));
            int at = first;
            store.ForEachLine(first, last, [&](std::string_view text) {
                QCOMPARE(std::string(text), model[std::size_t(at++)].text);
            });
            QCOMPARE(at, last);
            QCOMPARE(Written(store, end), Joined(model, end));
            QCOMPARE(Written(store, end == "\n" ? "\r\n" : "\n"),
                     Joined(model, end == "\n" ? "\r\n" : "\n"));
        }
    }

    void loaderLimits_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("lineLength");
        QTest::addColumn<int>("refusal");
        const int none = int(LineLoader::Refusal::None);
        const int tooMany = int(LineLoader::Refusal::TooManyLines);
        const int tooLong = int(LineLoader::Refusal::LineTooLong);
        QTest::newRow("as many lines as allowed") << QByteArray("a\r\nb\r\nc") << 3 << 5 << none;
        QTest::newRow("one line more") << QByteArray("a\r\nb\r\nc\r\n") << 3 << 5 << tooMany;
        QTest::newRow("the longest line allowed, last")
            << QByteArray("a\r\n12345") << 3 << 5 << none;
        QTest::newRow("a line too long, last") << QByteArray("a\r\n123456") << 3 << 5 << tooLong;
        QTest::newRow("a line too long, first") << QByteArray("123456\r\na") << 3 << 5 << tooLong;
        QTest::newRow("a stray CR counts as a byte of the line")
            << QByteArray("12\r45\r\n") << 3 << 5 << none;
        QTest::newRow("a stray CR makes it too long")
            << QByteArray("12\r456\r\n") << 3 << 5 << tooLong;
        QTest::newRow("a CR at the very end is the last line's")
            << QByteArray("a\r\n12345\r") << 3 << 5 << tooLong;
    }
    // A text whose line numbers or line lengths the positions could not address is refused.
    void loaderLimits() {
        QFETCH(QByteArray, file);
        QFETCH(int, lines);
        QFETCH(int, lineLength);
        QFETCH(int, refusal);
        for (quint32 seed : {1u, 2u, 3u}) { // other cuts into reads
            std::mt19937 random(seed);
            LineStore store;
            const LineLimits limits{std::uint64_t(lines), std::uint64_t(lineLength)};
            QCOMPARE(int(Load(store, file.toStdString(), "\r\n", 4, random, limits)), refusal);
        }
    }
};

QTEST_APPLESS_MAIN(TestLineStore)
#include "tst_LineStore.moc"
