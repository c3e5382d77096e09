// Writes the seed inputs of the fuzz targets into FOLDER/<target>/: valid files made with
// the tests' writers, so that the fuzzers start from the real formats.
#include "ClientFileWriters.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

std::map<int, QByteArray> Entries() {
    return {
        {0, SolidArtEntry(44, 44, 0x7C00)},
        {1, ArtEntry(60, 3,
                     {{{0, std::vector<std::uint16_t>(50, 31)}, {2, {1, 2}}}, {{3, {0x7FFF}}}})},
        {5, SolidArtEntry(3, 70, 0xFFFF)},
        {7, ArtEntry(2, 2, {{{0, {}}, {1, {31}}}, {{1, {0x3E0}}}})}};
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const QDir seeds(QString::fromLocal8Bit(argv[1]));
    for (const char* target : {"art_index", "art_tile", "hues", "uop"})
        seeds.mkpath(target);
    QTemporaryDir work;
    for (const auto& [id, entry] : Entries())
        WriteOrFail(seeds.filePath("art_tile/" + QString::number(id)), entry);

    // The art index input: a length, the records of the static ids, then ART.MUL.
    WriteMulArt(work.path(), Entries(), 0x4008);
    const QByteArray records = ReadFileBytes(work.filePath("ARTIDX.MUL")).mid(0x4000 * 12);
    QByteArray index;
    PutU16(index, std::uint32_t(records.size()));
    WriteOrFail(seeds.filePath("art_index/pair"),
                index + records + ReadFileBytes(work.filePath("ART.MUL")));

    WriteUopArt(work.path(), Entries(), false, "stored.uop");
    WriteUopArt(work.path(), Entries(), true, "zlib.uop");
    for (const char* name : {"stored.uop", "zlib.uop"})
        WriteOrFail(seeds.filePath(QString("uop/") + name), ReadFileBytes(work.filePath(name)));

    WriteHues(
        seeds.filePath("hues/hues.mul"), 3,
        [](int hue, int j) { return std::uint16_t(hue * 32 + j); },
        [](int hue) { return hue == 1 ? QByteArray(20, 'N') : "Hue " + QByteArray::number(hue); });
    return 0;
}
