#include "ClientFileWriters.h"
#include "clientfiles/ArtSource.h"
#include "clientfiles/ClientFolder.h"
#include "clientfiles/HueFile.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Rects = QList<std::array<quint32, 5>>; // x, y, width, height, colour
using Words = std::vector<std::uint16_t>;
struct OpeningCase {
    QStringList files;
    int at, size;
    quint64 value;
    QList<int> ids;
    bool draws;
};
struct RealCase {
    QString file;
    int count, number;
    QByteArray name = {};
    int colour4 = 0;
};
const QString kCorpus = QUILLET_UO_CORPUS_DIR;
const QByteArray kSmall = ArtEntry(2, 2, {{{0, {0x1F}}}, {{0, {0x1F, 0x1F}}}});

// The tile with the rectangles painted on white, which no colour of the files is.
QList<quint32> Painted(const Rects& rects) {
    QList<quint32> tile(ArtTileSize * ArtTileSize, 0xFFFFFF);
    for (const auto& [x, y, w, h, colour] : rects)
        for (quint32 i = 0; i < w * h; ++i)
            tile[(y + i / w) * ArtTileSize + x + i % w] = colour;
    return tile;
}

template <typename Draw> QList<quint32> OnWhite(Draw draw, bool* drawn = nullptr) {
    ArtTile tile;
    tile.fill(0xFFFFFF);
    const bool ok = draw(tile);
    if (drawn) *drawn = ok;
    return {tile.begin(), tile.end()};
}

// Decodes from a buffer of exactly the entry's size, so that a read past it is caught.
QList<quint32> Decoded(const QByteArray& entry, bool* drawn = nullptr) {
    const std::vector<std::uint8_t> b(entry.begin(), entry.end());
    return OnWhite([&](ArtTile& tile) { return DecodeArtTile(b.data(), b.size(), tile); }, drawn);
}

QByteArray RandomEntry(QRandomGenerator& random) {
    std::vector<std::vector<ArtRun>> rows(std::size_t(random.bounded(1, 60)));
    for (auto& row : rows)
        for (int r = random.bounded(4); r > 0; --r) {
            Words words(std::size_t(random.bounded(50)));
            std::generate(words.begin(), words.end(), [&] { return random.generate(); });
            row.push_back({random.bounded(30), words});
        }
    return ArtEntry(random.bounded(1, 80), int(rows.size()), rows);
}

void Patch(const QString& path, qint64 at, quint64 value, int size) { // little-endian host
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(at));
    QCOMPARE(file.write(reinterpret_cast<const char*>(&value), size), size);
}

} // namespace

Q_DECLARE_METATYPE(OpeningCase)
Q_DECLARE_METATYPE(RealCase)

class TestClientFiles : public QObject {
    Q_OBJECT

private slots:
    // The pixels drawn, as rectangles on white; none when the decoder refuses the entry.
    void decodesTiles_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<Rects>("rects");
        const auto one = [](std::uint32_t header) { return ArtEntry(1, 1, {{{0, {31}}}}, header); };
        QTest::newRow("44 x 44") << SolidArtEntry(44, 44, 0x7C00)
                                 << Rects{{0, 0, 44, 44, 0xF80000}};
        QTest::newRow("0 black, 0x7FFF and 0xFFFF grey, bit 15 ignored")
            << ArtEntry(4, 1, {{{0, {0, 0x7FFF, 0xFFFF, 0x801F}}}})
            << Rects{{0, 0, 1, 1, 0}, {1, 0, 2, 1, 0xF8F8F8}, {3, 0, 1, 1, 0xF8}};
        QTest::newRow("skip counts from the end of the previous run")
            << ArtEntry(8, 1, {{{3, {31, 31}}, {2, {0x3E0}}}})
            << Rects{{3, 0, 2, 1, 0xF8}, {7, 0, 1, 1, 0xF800}};
        QTest::newRow("60 wide shows columns 0..43, the next row decodes")
            << ArtEntry(60, 2, {{{0, Words(50, 31)}, {2, Words(8, 0x3E0)}}, {{1, {31}}}})
            << Rects{{0, 0, 44, 1, 0xF8}, {1, 1, 1, 1, 0xF8}};
        QTest::newRow("row starting with the end run")
            << ArtEntry(1, 2, {{{0, {}}, {0, {31}}}, {{0, {31}}}}) << Rects{{0, 1, 1, 1, 0xF8}};
        QTest::newRow("2 x 60 at the top left, rows past 43 not drawn")
            << SolidArtEntry(2, 60, 31) << Rects{{0, 0, 2, 44, 0xF8}};
        QTest::newRow("header 0") << one(0) << Rects{};
        QTest::newRow("header 65535") << one(65535) << Rects{{0, 0, 1, 1, 0xF8}};
        QTest::newRow("header 65536") << one(65536) << Rects{};
        QTest::newRow("row start past the end")
            << QByteArray(kSmall).replace(10, 2, "\xFF\xFF") << Rects{{0, 0, 1, 1, 0xF8}};
        QTest::newRow("run passing the end ends its row")
            << kSmall.chopped(6) << Rects{{0, 0, 1, 1, 0xF8}};
        QTest::newRow("missing end run")
            << kSmall.chopped(4) << Rects{{0, 0, 1, 2, 0xF8}, {1, 1, 1, 1, 0xF8}};
        QTest::newRow("shorter than its row table") << kSmall.left(11) << Rects{};
        QTest::newRow("shorter than its sizes") << kSmall.left(7) << Rects{};
    }
    void decodesTiles() {
        QFETCH(QByteArray, entry);
        QFETCH(Rects, rects);
        bool drawn = false;
        QCOMPARE(Decoded(entry, &drawn), Painted(rects));
        QCOMPARE(drawn, !rects.isEmpty());
    }

    // A cut entry draws no pixel that the whole one does not draw alike; a corrupt one only
    // has to stay inside its bytes.
    void hostileEntriesStayInside() {
        QRandomGenerator random(7411);
        for (int round = 0; round < 4000; ++round) {
            const QByteArray entry = RandomEntry(random);
            QByteArray bad = entry;
            for (int k = random.bounded(1, 9); k > 0; --k)
                bad[random.bounded(bad.size())] = char(random.generate());
            Decoded(bad);
            const QList<quint32> whole = Decoded(entry),
                                 cut = Decoded(entry.left(random.bounded(entry.size())));
            for (qsizetype i = 0; i < cut.size(); ++i)
                QVERIFY(cut[i] == 0xFFFFFF || cut[i] == whole[i]);
        }
    }

    // Random entries at ids 0, 1, 0x0EED and, past three, 0x3FFF and ids from 3 on.
    void sourcesDrawTheirEntries_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("count");
        QTest::newRow("MUL of ids 0, 1 and 0x0EED only") << 0 << 3;
        QTest::newRow("MUL") << 0 << 250;
        QTest::newRow("stored UOP") << 1 << 250;
        QTest::newRow("zlib UOP") << 2 << 250;
    }
    void sourcesDrawTheirEntries() {
        QFETCH(int, kind);
        QFETCH(int, count);
        QRandomGenerator random{uint(kind)};
        std::map<int, QByteArray> entries{{0, {}}, {1, {}}, {0x0EED, {}}};
        while (int(entries.size()) < count)
            entries[entries.size() == 3 ? 0x3FFF : random.bounded(3, 0x3FFF)];
        std::vector<std::uint16_t> ids;
        for (auto& [id, entry] : entries)
            entry = RandomEntry(random), ids.push_back(std::uint16_t(id));
        QTemporaryDir dir;
        kind == 0 ? WriteMulArt(dir.path(), entries) : WriteUopArt(dir.path(), entries, kind == 2);
        const ArtOpening art = OpenClientArt(dir.path().toStdString());
        QVERIFY(art.source);
        QCOMPARE(art.source->StaticIds(), ids);
        ArtTile tile{};
        for (const int id : {-1, 2, 0x4000})
            QVERIFY(!art.source->DrawTile(id, tile));
        for (const auto& [id, entry] : entries)
            QCOMPARE(OnWhite([&](ArtTile& t) { return art.source->DrawTile(id, t); }),
                     Decoded(entry));
    }

    // Copies files of a MUL pair of ids 0 and 5 (entries of 34 bytes) and of UOP files of
    // ids 5 and 6 ("FROM:TO"; "/" makes a folder), changes one field of the first file (size
    // 0: cuts the file there), and opens the folder: the ids listed (-1 Index failure, -2 Art
    // failure), and whether id 5 draws.
    void openingReadsTheRightBytes_data() {
        QTest::addColumn<OpeningCase>("c");
        const auto row = [](const char* name, QStringList files, int at, int size, quint64 value,
                            QList<int> ids, bool draws = false) {
            QTest::newRow(name) << OpeningCase{files, at, size, value, ids, draws};
        };
        const QStringList pair{"ARTIDX.MUL", "ART.MUL"}, zlib{"z.uop:artLegacyMUL.uop"};
        const QStringList stored{"s.uop:artLegacyMUL.uop"};
        const int none = -1, record = 0x4005 * 12, slot = 40; // slot: 64-bit offset, header
        // length, compressed and inflated lengths at 12 and 16, hash at 20, flag at 32
        row("empty folder", {}, none, 0, 0, {-1});
        row("ART.MUL alone", {"ART.MUL"}, none, 0, 0, {-1});
        row("ARTIDX.MUL and UOP, no ART.MUL", {"ARTIDX.MUL", "z.uop:artLegacyMUL.uop"}, none, 0, 0,
            {-2});
        row("folder named ART.MUL", {"ARTIDX.MUL", "ART.MUL/"}, none, 0, 0, {-2});
        row("lower-case pair", {"artidx.mul", "art.mul"}, none, 0, 0, {0, 5}, true);
        row("pair before UOP", pair + zlib, none, 0, 0, {0, 5}, true);
        row("upper-case UOP", {"z.uop:ARTLEGACYMUL.UOP"}, none, 0, 0, {5, 6}, true);
        row("UOP that is none", {"junk:artLegacyMUL.uop"}, none, 0, 0, {-1});
        row("length 0 reads to the end", pair, record + 4, 4, 0, {0, 5}, true);
        row("length past the end reads to the end", pair, record + 4, 4, 35, {0, 5}, true);
        row("length cutting the row table", pair, record + 4, 4, 11, {0, 5});
        row("offset at the end", pair, record, 4, 68, {0, 5});
        row("offset past the end", pair, record, 4, 0xFFFFFFFE, {0, 5});
        row("offset 0xFFFFFFFF", pair, record, 4, 0xFFFFFFFF, {0});
        row("index ending inside the record", pair, record + 11, 0, 0, {0});
        row("wrong magic", zlib, 0, 1, 'm', {-1});
        row("version 4", zlib, 4, 4, 4, {5, 6}, true);
        row("version 6", zlib, 4, 4, 6, {-1});
        row("table chain loops", zlib, 32, 8, 28, {5, 6}, true);
        row("absurd entry count", zlib, 28, 4, ~0U, {});
        row("offset past the end", zlib, slot, 8, ~0ULL, {6});
        row("data past the end", zlib, slot + 12, 4, 1U << 31, {6});
        row("unknown flag", zlib, slot + 32, 2, 3, {6});
        row("stored entry cut short", stored, slot + 12, 4, 11, {5, 6});
        row("inflated length one too long", zlib, slot + 16, 4, 35, {5, 6});
        row("inflated length absurd", zlib, slot + 16, 4, ~0U, {5, 6});
        row("zlib stream broken", zlib, slot + 8, 4, 9, {5, 6});
    }
    void openingReadsTheRightBytes() {
        QFETCH(OpeningCase, c);
        QTemporaryDir from, dir;
        WriteMulArt(from.path(), {{0, kSmall}, {5, kSmall}}, 0x10000, "artidx.mul", "art.mul");
        WriteUopArt(from.path(), {{5, kSmall}, {6, kSmall}}, true, "z.uop");
        WriteUopArt(from.path(), {{5, kSmall}, {6, kSmall}}, false, "s.uop");
        WriteOrFail(from.filePath("junk"), "MYP");
        for (const QString& name : c.files)
            QVERIFY(name.endsWith('/')
                        ? QDir(dir.path()).mkdir(name)
                        : QFile::copy(from.filePath(name.section(':', 0, 0).toLower()),
                                      dir.filePath(name.section(':', -1))));
        const QString first = dir.filePath(c.files.value(0).section(':', -1));
        if (c.size == 0 && c.at >= 0) QVERIFY(QFile::resize(first, c.at));
        if (c.size > 0) Patch(first, c.at, c.value, c.size);
        const ArtOpening art = OpenClientArt(dir.path().toStdString());
        const std::vector<std::uint16_t> ids =
            art.source ? art.source->StaticIds() : std::vector<std::uint16_t>{};
        QCOMPARE(art.source ? QList<int>(ids.begin(), ids.end())
                            : QList<int>{art.failure == ArtOpening::Failure::Art ? -2 : -1},
                 c.ids);
        bool drawn = false;
        const QList<quint32> tile =
            OnWhite([&](ArtTile& t) { return art.source && art.source->DrawTile(5, t); }, &drawn);
        QCOMPARE(tile, c.draws ? Decoded(kSmall) : Painted({}));
        QCOMPARE(drawn, c.draws);
    }

    void findsFilesWhateverTheirCase() {
        QTemporaryDir dir;
        for (const char* name : {"art.mul", "ART.MUL", "hues.mul"})
            WriteOrFail(dir.filePath(name), "x");
        const auto find = [&](const QString& folder, const char* name) {
            return QString::fromStdString(FindClientFile(folder.toStdString(), name))
                .remove(dir.path());
        };
        // An exact name first, else the first in order.
        QCOMPARE(find(dir.path(), "art.mul") + find(dir.path(), "ART.MUL") +
                     find(dir.path(), "Art.Mul") + find(dir.path(), "HUES.MUL"),
                 "/art.mul/ART.MUL/ART.MUL/hues.mul");
        QDir::setCurrent(dir.path());
        QCOMPARE(find(dir.filePath("hues.mul"), "hues.mul") + find("", "hues.mul"), QString());
    }

    void nameHashes_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QList<quint32>>("seedsAndHash"); // c, b in; c, b out
        const QByteArray four = "Four score and seven years ago";
        QTest::newRow("empty") << QByteArray() << QList<quint32>{0, 0, 0xDEADBEEF, 0xDEADBEEF};
        QTest::newRow("empty, seed b")
            << QByteArray() << QList<quint32>{0, 0xDEADBEEF, 0xBD5B7DDE, 0xDEADBEEF};
        QTest::newRow("30 bytes") << four << QList<quint32>{0, 0, 0x17770551, 0xCE7226E6};
        QTest::newRow("30 bytes, seed c") << four << QList<quint32>{1, 0, 0xCD628161, 0x6CBEA4B3};
    }
    void nameHashes() {
        QFETCH(QByteArray, key);
        QFETCH(QList<quint32>, seedsAndHash);
        HashLittle2(key.data(), std::size_t(key.size()), &seedsAndHash[0], &seedsAndHash[1]);
        QCOMPARE(seedsAndHash.mid(0, 2), seedsAndHash.mid(2));
    }

    void uopNames() {
        const std::string name = UopArtName(0x0EED);
        QCOMPARE(name, "build/artlegacymul/00020205.tga");
        std::uint32_t c = 0, b = 0;
        HashLittle2(name.data(), name.size(), &c, &b);
        QCOMPARE(UopNameHash("BUILD/ArtLegacyMUL/00020205.TGA"), (quint64(c) << 32) | b);
    }

    // Hue h has the colours 131h + 7j, bit 15 set in colour 5, and by h % 8 one of the names
    // below; a partial block follows the whole ones.
    void hueFiles_data() {
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("count");
        QTest::newRow("128 blocks") << 128 << 1024;
        QTest::newRow("400 blocks, 375 read") << 400 << 3000;
        QTest::newRow("partial block only") << 0 << 0;
    }
    void hueFiles() {
        QFETCH(int, blocks);
        QFETCH(int, count);
        const QList<QByteArray> names{"Light Blue", QByteArray("Red\0x\n\xE4", 7),
                                      QByteArray(20, 'N'), "\xDA\x13\rSEND\n\x0C",
                                      QByteArray("\0abc", 4)};
        const auto colour = [](int h, int j) {
            return std::uint16_t(h * 131 + j * 7 + (j == 5) * 0x8000);
        };
        QTemporaryDir dir;
        const QString path = dir.filePath("hues.mul");
        WriteHues(path, blocks, colour, [&](int h) { return names.value(h % 8); });
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append) && file.write(QByteArray(707, 1)) == 707);
        file.close();
        CHueFile hues;
        QVERIFY(hues.Load(path.toStdString()));
        QCOMPARE(hues.Count(), count);
        for (int h : {0, 1, 2, 3, 4, 7, count - 1, count}) {
            const bool held = h >= 0 && h < count;
            QCOMPARE(QByteArray::fromStdString(hues.Name(h)),
                     held ? names.value(h % 8).left(20).data() : "");
            for (int j = 0; j < 33; ++j)
                QCOMPARE(hues.Colour(h, j), held && j < 32 ? colour(h, j) : 0);
        }
        QVERIFY(!hues.Load(dir.path().toStdString()) && hues.Count() == 0 && !hues.Error().empty());
    }

    // An index gives its count of ids and last id, a hue file its count and one hue.
    void realFiles_data() {
        QTest::addColumn<RealCase>("c");
        QTest::newRow("65536 records, offsets and lengths 0xFFFFFFFF")
            << RealCase{"uoprealpha/ARTIDX.MUL", 1751, 0x3FFF};
        QTest::newRow("0xC000 records") << RealCase{"alexrmrm-sa/artidx.mul", 16384, 0x3FFF};
        QTest::newRow("0x10000 records") << RealCase{"nelderim/artidx.mul", 13827, 0x3FFE};
        QTest::newRow("pre-alpha hue 0")
            << RealCase{"uoprealpha/HUES.MUL", 1024, 0, "Light Blue", 0x4A};
        QTest::newRow("pre-alpha hue 3")
            << RealCase{"uoprealpha/HUES.MUL", 1024, 3, "skin4", 0x29A};
        QTest::newRow("T2A 20-byte name")
            << RealCase{"rundir-t2a/hues.mul", 3000, 1060, "_MARSHAL_SIZING_ROUT", 0x5445};
        QTest::newRow("T2A junk name")
            << RealCase{"rundir-t2a/hues.mul", 3000, 1080, "\xDA\x13\rSENDASYNCPROC\x0C", 0x7463};
        QTest::newRow("bit 15 set")
            << RealCase{"andrtechno-patch/hues.mul", 3000, 2543, "mistyc", 0xFC0F};
    }
    void realFiles() {
        QFETCH(RealCase, c);
        if (!QDir(kCorpus).exists()) QSKIP("no client file corpus");
        const std::string path = QDir(kCorpus).filePath(c.file).toStdString();
        CArtIndex index;
        CHueFile hues;
        if (c.file.contains("idx", Qt::CaseInsensitive)) {
            QVERIFY(index.Load(path));
            const std::vector<std::uint16_t> ids = index.StaticIds();
            QCOMPARE((QList<int>{int(ids.size()), ids.front(), ids.back()}),
                     (QList<int>{c.count, 0, c.number}));
        } else {
            QVERIFY(hues.Load(path));
            QCOMPARE((QList<int>{hues.Count(), hues.Colour(c.number, 4)}),
                     (QList<int>{c.count, c.colour4}));
            QCOMPARE(QByteArray::fromStdString(hues.Name(c.number)), c.name);
        }
    }
};

QTEST_APPLESS_MAIN(TestClientFiles)
#include "tst_ClientFiles.moc"
