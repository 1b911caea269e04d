#include "CompoundFile.h"

#include "FileOutput.h"

#include <QtEndian>
#include <vector>

namespace logexport {

namespace {

constexpr int kSector = 512;
constexpr int kIdsPerSector = kSector / 4;
constexpr int kHeaderFatIds = 109;
constexpr quint32 kFree = 0xFFFFFFFF;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFatSector = 0xFFFFFFFD;
constexpr quint32 kDifatSector = 0xFFFFFFFC;
constexpr quint32 kNoStream = 0xFFFFFFFF;
constexpr int kMinStream = 4096;

void put16(QByteArray& b, int at, quint16 v) {
    qToLittleEndian(v, b.data() + at);
}
void put32(QByteArray& b, int at, quint32 v) {
    qToLittleEndian(v, b.data() + at);
}

// A directory entry of 128 bytes.
void putEntry(QByteArray& sector, int index, const char16_t* name, quint8 type, quint32 child,
              quint32 start, quint32 size) {
    const int at = index * 128;
    int length = 0;
    for (; name[length] != 0; ++length)
        put16(sector, at + length * 2, name[length]);
    put16(sector, at + 64, static_cast<quint16>((length + 1) * 2));
    sector[at + 66] = static_cast<char>(type);
    sector[at + 67] = 1; // black
    put32(sector, at + 68, kNoStream);
    put32(sector, at + 72, kNoStream);
    put32(sector, at + 76, child);
    put32(sector, at + 116, start);
    put32(sector, at + 120, size);
}

} // namespace

void writeCompoundFile(FileOutput& out, const QByteArray& workbook) {
    const qsizetype streamSize = std::max<qsizetype>(workbook.size(), kMinStream);
    const auto streamSectors = static_cast<quint32>((streamSize + kSector - 1) / kSector);
    const quint32 directory = streamSectors;

    // The FAT must map every sector, its own and those of the DIFAT included.
    quint32 fatSectors = 1;
    quint32 difatSectors = 0;
    for (;;) {
        difatSectors = fatSectors > kHeaderFatIds
                           ? (fatSectors - kHeaderFatIds + kIdsPerSector - 2) / (kIdsPerSector - 1)
                           : 0;
        if (fatSectors * kIdsPerSector >= streamSectors + 1 + fatSectors + difatSectors)
            break;
        ++fatSectors;
    }
    const quint32 firstFat = directory + 1;
    const quint32 firstDifat = firstFat + fatSectors;

    std::vector<quint32> fat(static_cast<size_t>(fatSectors) * kIdsPerSector, kFree);
    for (quint32 s = 0; s < streamSectors; ++s)
        fat[s] = s + 1 < streamSectors ? s + 1 : kEndOfChain;
    fat[directory] = kEndOfChain;
    for (quint32 s = 0; s < fatSectors; ++s)
        fat[firstFat + s] = kFatSector;
    for (quint32 s = 0; s < difatSectors; ++s)
        fat[firstDifat + s] = kDifatSector;

    QByteArray header(kSector, '\0');
    static const unsigned char signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    for (int i = 0; i < 8; ++i)
        header[i] = static_cast<char>(signature[i]);
    put16(header, 24, 0x003E); // minor version
    put16(header, 26, 0x0003); // major version: 512-byte sectors
    put16(header, 28, 0xFFFE); // little-endian
    put16(header, 30, 9);      // sector size 2^9
    put16(header, 32, 6);      // mini sector size 2^6
    put32(header, 44, fatSectors);
    put32(header, 48, directory);
    put32(header, 56, kMinStream); // mini stream cut-off
    put32(header, 60, kEndOfChain);
    put32(header, 68, difatSectors > 0 ? firstDifat : kEndOfChain);
    put32(header, 72, difatSectors);
    for (int i = 0; i < kHeaderFatIds; ++i)
        put32(header, 76 + i * 4,
              static_cast<quint32>(i) < fatSectors ? firstFat + static_cast<quint32>(i) : kFree);

    QByteArray& buffer = out.buffer();
    buffer += header;
    out.maybeFlush();
    // The stream, then zeros to the end of its last sector.
    constexpr qsizetype kChunk = 1 << 20;
    for (qsizetype at = 0; at < workbook.size(); at += kChunk) {
        buffer.append(workbook.constData() + at, std::min(kChunk, workbook.size() - at));
        out.maybeFlush();
    }
    buffer.append(static_cast<qsizetype>(streamSectors) * kSector - workbook.size(), '\0');

    QByteArray entries(kSector, '\0');
    putEntry(entries, 0, u"Root Entry", 5, 1, kEndOfChain, 0);
    putEntry(entries, 1, u"Workbook", 2, kNoStream, 0, static_cast<quint32>(streamSize));
    for (int i = 2; i < 4; ++i) { // unused entries
        put32(entries, i * 128 + 68, kNoStream);
        put32(entries, i * 128 + 72, kNoStream);
        put32(entries, i * 128 + 76, kNoStream);
    }
    buffer += entries;

    QByteArray ids(static_cast<qsizetype>(fat.size()) * 4, '\0');
    for (size_t i = 0; i < fat.size(); ++i)
        put32(ids, static_cast<int>(i * 4), fat[i]);
    buffer += ids;

    // DIFAT sectors: the FAT sectors after the header's 109, 127 to a sector, then the next.
    for (quint32 d = 0; d < difatSectors; ++d) {
        QByteArray sector(kSector, '\0');
        for (int i = 0; i < kIdsPerSector - 1; ++i) {
            const quint32 n = kHeaderFatIds + d * (kIdsPerSector - 1) + static_cast<quint32>(i);
            put32(sector, i * 4, n < fatSectors ? firstFat + n : kFree);
        }
        put32(sector, kSector - 4, d + 1 < difatSectors ? firstDifat + d + 1 : kEndOfChain);
        buffer += sector;
    }
    out.maybeFlush();
}

} // namespace logexport
