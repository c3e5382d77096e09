#pragma once

// Writers of small client files for tests: static art entries, the ARTIDX.MUL and ART.MUL
// pair, artLegacyMUL.uop and HUES.MUL. Files that cannot be written end the test run. A test
// that includes this links quillet_clientfiles (for the UOP names) and ZLIB::ZLIB.

#include "TestFiles.h"
#include "clientfiles/ArtSource.h"
#include "clientfiles/UopFile.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include <zlib.h>

// Little-endian fields.
inline void PutU16(QByteArray& out, std::uint32_t value) {
    out.append(char(value & 0xFF)).append(char((value >> 8) & 0xFF));
}
inline void PutU32(QByteArray& out, std::uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}
inline void PutU64(QByteArray& out, std::uint64_t value) {
    PutU32(out, std::uint32_t(value));
    PutU32(out, std::uint32_t(value >> 32));
}

// A run of a row: the pixels to skip, then the pixel words.
using ArtRun = std::pair<int, std::vector<std::uint16_t>>;

// A static art entry: rows[y] is the list of runs of row y (rows past rows.size() have
// none); every row ends with the end run (0, 0), and the row table points at each row.
inline QByteArray ArtEntry(int width, int height, const std::vector<std::vector<ArtRun>>& rows,
                           std::uint32_t header = 1) {
    QByteArray table, data;
    for (int y = 0; y < height; ++y) {
        PutU16(table, std::uint32_t(data.size() / 2));
        for (const ArtRun& run :
             y < int(rows.size()) ? rows[std::size_t(y)] : std::vector<ArtRun>{}) {
            PutU16(data, std::uint32_t(run.first));
            PutU16(data, std::uint32_t(run.second.size()));
            for (std::uint16_t word : run.second)
                PutU16(data, word);
        }
        PutU32(data, 0);
    }
    QByteArray entry;
    PutU32(entry, header);
    PutU16(entry, std::uint32_t(width));
    PutU16(entry, std::uint32_t(height));
    return entry + table + data;
}

inline QByteArray SolidArtEntry(int width, int height, std::uint16_t colour) {
    const std::vector<ArtRun> row{{0, std::vector<std::uint16_t>(std::size_t(width), colour)}};
    return ArtEntry(width, height, std::vector<std::vector<ArtRun>>(std::size_t(height), row));
}

inline void WriteOrFail(const QString& path, const QByteArray& bytes) {
    if (!WriteFileBytes(path, bytes)) qFatal("cannot write %s", qPrintable(path));
}

// ARTIDX.MUL with `records` records (static id n is record 0x4000 + n; ids past them are
// left out) and ART.MUL with the entries one after another. Records without art have the
// offset 0xFFFFFFFF and the length 0.
inline void WriteMulArt(const QString& folder, const std::map<int, QByteArray>& entries,
                        int records = 0x10000, const QString& indexName = "ARTIDX.MUL",
                        const QString& artName = "ART.MUL") {
    std::map<int, std::pair<std::uint32_t, std::uint32_t>> placed;
    QByteArray art;
    for (const auto& [id, entry] : entries) {
        placed[0x4000 + id] = {std::uint32_t(art.size()), std::uint32_t(entry.size())};
        art += entry;
    }
    QByteArray index;
    for (int r = 0; r < records; ++r) {
        const auto found = placed.find(r);
        PutU32(index, found == placed.end() ? 0xFFFFFFFF : found->second.first);
        PutU32(index, found == placed.end() ? 0 : found->second.second);
        PutU32(index, 0);
    }
    WriteOrFail(folder + "/" + indexName, index);
    WriteOrFail(folder + "/" + artName, art);
}

// artLegacyMUL.uop (version 5) with the entries in tables of 100 slots, each table followed
// by its entries' data; unused slots are zero. Every entry carries an 8-byte header before
// its bytes, which are stored as they are or compressed with zlib.
inline void WriteUopArt(const QString& folder, const std::map<int, QByteArray>& entries,
                        bool compress, const QString& name = "artLegacyMUL.uop") {
    constexpr int tableSlots = 100;
    constexpr std::size_t tableSize = 12 + tableSlots * 34;
    const QByteArray entryHeader("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
    QByteArray file;
    PutU32(file, 0x0050594D);
    PutU32(file, 5);
    PutU32(file, 0xFD23EC43);
    PutU64(file, 28);
    PutU32(file, tableSlots);
    PutU32(file, std::uint32_t(entries.size()));
    auto it = entries.begin();
    while (it != entries.end()) {
        const qsizetype tableAt = file.size();
        QByteArray table, data;
        for (int s = 0; s < tableSlots && it != entries.end(); ++s, ++it) {
            QByteArray stored = it->second;
            if (compress) {
                uLongf size = compressBound(uLong(stored.size()));
                stored.resize(qsizetype(size));
                if (compress2(reinterpret_cast<Bytef*>(stored.data()), &size,
                              reinterpret_cast<const Bytef*>(it->second.constData()),
                              uLong(it->second.size()), 9) != Z_OK)
                    qFatal("cannot compress an art entry");
                stored.resize(qsizetype(size));
            }
            PutU64(table, std::uint64_t(tableAt) + tableSize + std::uint64_t(data.size()));
            PutU32(table, std::uint32_t(entryHeader.size()));
            PutU32(table, std::uint32_t(stored.size()));
            PutU32(table, std::uint32_t(it->second.size()));
            PutU64(table, UopNameHash(UopArtName(it->first)));
            PutU32(table,
                   std::uint32_t(adler32(1, reinterpret_cast<const Bytef*>(entryHeader.data()),
                                         uInt(entryHeader.size()))));
            PutU16(table, compress ? 1 : 0);
            data += entryHeader + stored;
        }
        table.append(QByteArray(qsizetype(tableSize) - 12 - table.size(), '\0'));
        const qsizetype next =
            it == entries.end() ? 0 : tableAt + qsizetype(tableSize) + data.size();
        PutU32(file, std::uint32_t(tableSlots));
        PutU64(file, std::uint64_t(next));
        file += table + data;
    }
    WriteOrFail(folder + "/" + name, file);
}

// HUES.MUL with `blocks` blocks of 8 hues: hue h has the colour words colour(h, 0..31) and
// the name bytes name(h), cut or padded with zero bytes to 20. Headers and table words are 0.
inline void WriteHues(const QString& path, int blocks,
                      const std::function<std::uint16_t(int hue, int j)>& colour,
                      const std::function<QByteArray(int hue)>& name) {
    QByteArray file;
    for (int hue = 0; hue < blocks * 8; ++hue) {
        if (hue % 8 == 0) PutU32(file, 0);
        for (int j = 0; j < 32; ++j)
            PutU16(file, colour(hue, j));
        PutU32(file, 0);
        file += name(hue).leftJustified(20, '\0', true);
    }
    WriteOrFail(path, file);
}
