#include "XlsWriter.h"

#include "ColumnWidths.h"
#include "CompoundFile.h"
#include "FileOutput.h"
#include "LogSheet.h"

#include <QHash>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace logexport {

namespace {

// Record types.
constexpr quint16 kBof = 0x0809;
constexpr quint16 kEof = 0x000A;
constexpr quint16 kCodePage = 0x0042;
constexpr quint16 kWindow1 = 0x003D;
constexpr quint16 kDateMode = 0x0022;
constexpr quint16 kFont = 0x0031;
constexpr quint16 kFormat = 0x041E;
constexpr quint16 kXf = 0x00E0;
constexpr quint16 kStyle = 0x0293;
constexpr quint16 kBoundSheet = 0x0085;
constexpr quint16 kSst = 0x00FC;
constexpr quint16 kContinue = 0x003C;
constexpr quint16 kExtSst = 0x00FF;
constexpr quint16 kColInfo = 0x007D;
constexpr quint16 kDimensions = 0x0200;
constexpr quint16 kNumber = 0x0203;
constexpr quint16 kLabelSst = 0x00FD;
constexpr quint16 kWindow2 = 0x023E;

constexpr int kMaxRecord = 8224;
constexpr int kMaxCellText = 32767;

// Cell formats: 0-14 the style formats, 15 the default cell format, then ours.
constexpr quint16 kXfCentred = 16;
constexpr quint16 kXfDate = 17;
constexpr quint16 kXfTime = 18;
constexpr quint16 kDateFormat = 164; // the first number-format index free for a workbook's own
constexpr quint16 kTimeFormat = 165;

// Little-endian record bytes.
class Bytes {
public:
    Bytes& u8(quint8 v) {
        b_.append(static_cast<char>(v));
        return *this;
    }
    Bytes& u16(quint16 v) {
        char c[2];
        qToLittleEndian(v, c);
        b_.append(c, 2);
        return *this;
    }
    Bytes& u32(quint32 v) {
        char c[4];
        qToLittleEndian(v, c);
        b_.append(c, 4);
        return *this;
    }
    Bytes& f64(double v) {
        quint64 bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        char c[8];
        qToLittleEndian(bits, c);
        b_.append(c, 8);
        return *this;
    }
    // A string's characters: one byte each when they all fit (flag 0), else UTF-16 (flag 1).
    Bytes& chars(QStringView s, bool wide) {
        for (QChar c : s)
            wide ? u16(c.unicode()) : u8(static_cast<quint8>(c.unicode()));
        return *this;
    }
    const QByteArray& data() const { return b_; }
    qsizetype size() const { return b_.size(); }

private:
    QByteArray b_;
};

bool needsWide(QStringView s) {
    return std::any_of(s.begin(), s.end(), [](QChar c) { return c.unicode() > 0xFF; });
}

void record(QByteArray& stream, quint16 type, const QByteArray& payload) {
    Bytes header;
    header.u16(type).u16(static_cast<quint16>(payload.size()));
    stream += header.data();
    stream += payload;
}

void record(QByteArray& stream, quint16 type, const Bytes& payload) {
    record(stream, type, payload.data());
}

Bytes bof(quint16 kind) {
    Bytes b;
    b.u16(0x0600).u16(kind).u16(0x0DBB).u16(0x07CC).u32(0).u32(0x06);
    return b;
}

// The string table: every distinct text once, cells refer to it by index.
class StringTable {
public:
    quint32 index(const QString& text) {
        ++references_;
        const auto it = indexes_.constFind(text);
        if (it != indexes_.constEnd())
            return *it;
        const auto i = static_cast<quint32>(texts_.size());
        indexes_.insert(text, i);
        texts_.append(text);
        return i;
    }

    // SST and CONTINUE records, a text split over two records where it must be (its flag
    // byte repeated), then EXTSST, which tells where every eighth text starts.
    void write(QByteArray& stream) const {
        const auto unique = static_cast<quint32>(texts_.size());
        const quint32 perBucket = std::max<quint32>(8, (unique + 127) / 128);
        Bytes buckets;
        buckets.u16(static_cast<quint16>(perBucket));

        Bytes current;
        current.u32(references_).u32(unique);
        quint16 type = kSst;
        auto close = [&] {
            record(stream, type, current);
            current = Bytes();
            type = kContinue;
        };
        for (quint32 i = 0; i < unique; ++i) {
            const QString& text = texts_.at(i);
            const bool wide = needsWide(text);
            const int charSize = wide ? 2 : 1;
            if (current.size() + 3 + charSize > kMaxRecord)
                close();
            if (i % perBucket == 0) {
                const auto offset = static_cast<quint32>(4 + current.size());
                buckets.u32(static_cast<quint32>(stream.size()) + offset)
                    .u16(static_cast<quint16>(offset))
                    .u16(0);
            }
            current.u16(static_cast<quint16>(text.size())).u8(wide ? 1 : 0);
            QStringView rest(text);
            for (;;) {
                const qsizetype fit = (kMaxRecord - current.size()) / charSize;
                current.chars(rest.first(std::min(fit, rest.size())), wide);
                if (fit >= rest.size())
                    break;
                rest = rest.sliced(fit);
                close();
                current.u8(wide ? 1 : 0);
            }
        }
        close();
        record(stream, kExtSst, buckets);
    }

private:
    QHash<QString, quint32> indexes_;
    QStringList texts_;
    quint32 references_ = 0;
};

Bytes font() {
    Bytes b;
    b.u16(200).u16(0).u16(0x7FFF).u16(400).u16(0).u8(0).u8(0).u8(0).u8(0);
    b.u8(5).u8(0).chars(u"Arial", false);
    return b;
}

Bytes format(quint16 index, QStringView code) {
    Bytes b;
    b.u16(index).u16(static_cast<quint16>(code.size())).u8(0).chars(code, false);
    return b;
}

// A cell format: font 0, the number format, horizontal alignment general (0) or centred (2),
// bottom-aligned. Style formats have no parent.
Bytes xf(quint16 numberFormat, bool style, quint8 horizontal) {
    Bytes b;
    b.u16(0).u16(numberFormat);
    b.u16(style ? 0xFFF5 : 0x0001);                           // locked; style: parent none
    b.u8(static_cast<quint8>(horizontal | 0x20)).u8(0).u8(0); // alignment, rotation, indent
    b.u8(style ? 0 : (horizontal != 0 ? 0x14 : 0)); // attributes that differ from the style
    b.u32(0).u32(0);                                // no borders
    b.u16(0x20C0);                                  // default pattern colours
    return b;
}

QByteArray globals(const StringTable& strings, const QString& sheetName) {
    QByteArray s;
    record(s, kBof, bof(0x0005));
    record(s, kCodePage, Bytes().u16(1200)); // texts are Unicode
    Bytes window;
    window.u16(0).u16(0).u16(0x3A98).u16(0x2328).u16(0x0038).u16(0).u16(0).u16(1).u16(0x0258);
    record(s, kWindow1, window);
    record(s, kDateMode, Bytes().u16(0)); // 1900 date system
    for (int i = 0; i < 4; ++i)
        record(s, kFont, font());
    record(s, kFormat, format(kDateFormat, u"yyyy-mm-dd"));
    record(s, kFormat, format(kTimeFormat, u"hh:mm:ss"));
    for (int i = 0; i < 15; ++i)
        record(s, kXf, xf(0, true, 0));
    record(s, kXf, xf(0, false, 0));
    record(s, kXf, xf(0, false, 2));
    record(s, kXf, xf(kDateFormat, false, 2));
    record(s, kXf, xf(kTimeFormat, false, 2));
    record(s, kStyle, Bytes().u16(0x8000).u8(0).u8(0xFF)); // "Normal"

    // The sheet's position, known once the string table is written, is filled in after.
    const qsizetype sheetPosition = s.size() + 4;
    Bytes sheet;
    sheet.u32(0).u8(0).u8(0).u8(static_cast<quint8>(sheetName.size())).u8(0);
    sheet.chars(sheetName, false);
    record(s, kBoundSheet, sheet);
    strings.write(s);
    record(s, kEof, QByteArray());
    qToLittleEndian(static_cast<quint32>(s.size()), s.data() + sheetPosition);
    return s;
}

} // namespace

WriteResult XlsWriter::write(const LogSheet& sheet, const QString& path, const Progress& progress) {
    if (sheet.rowCount() > kMaxReadings)
        return WriteResult::failed(
            QStringLiteral("An .xls sheet holds at most %L1 readings.").arg(kMaxReadings));

    const int columns = sheet.columnCount();
    StringTable strings;
    ColumnWidths widths;
    QByteArray cells;
    cells.reserve(static_cast<qsizetype>(sheet.rowCount()) * columns * 18 + 1024);
    auto text = [&](quint16 row, quint16 col, const QString& value) {
        const QString t = value.left(kMaxCellText);
        widths.fit(col, t.size());
        Bytes b;
        b.u16(row).u16(col).u16(kXfCentred).u32(strings.index(t));
        record(cells, kLabelSst, b);
    };
    auto number = [&](quint16 row, quint16 col, quint16 format, double value) {
        Bytes b;
        b.u16(row).u16(col).u16(format).f64(value);
        record(cells, kNumber, b);
    };

    for (int c = 0; c < columns; ++c)
        text(0, static_cast<quint16>(c), sheet.header(c));
    for (int k = 0; k < sheet.rowCount(); ++k) {
        if (k % kProgressStep == 0 && k > 0 && progress && !progress(k))
            return WriteResult::cancelled();
        const auto row = static_cast<quint16>(k + 2);
        for (int c = 0; c < columns; ++c) {
            const auto col = static_cast<quint16>(c);
            switch (LogSheet::kind(c)) {
            case CellKind::Date:
                number(row, col, kXfDate, serialDate(sheet.date(k)));
                break;
            case CellKind::Time:
                number(row, col, kXfTime, serialTime(sheet.time(k)));
                break;
            case CellKind::Number:
                if (const auto value = sheet.number(k, c)) {
                    widths.fit(c, numberText(*value).size());
                    number(row, col, kXfCentred, *value);
                }
                break;
            case CellKind::Text: {
                const QString value = sheet.text(k, c);
                if (!value.isEmpty())
                    text(row, col, value);
                break;
            }
            }
        }
    }
    if (sheet.rowCount() > 0) {
        widths.fit(0, kDateCharacters);
        widths.fit(1, kTimeCharacters);
    }

    QByteArray worksheet;
    record(worksheet, kBof, bof(0x0010));
    for (int c = 0; c < columns; ++c) {
        const auto width = static_cast<quint16>(std::min(255.0, widths.width(c)) * 256);
        Bytes b;
        b.u16(static_cast<quint16>(c)).u16(static_cast<quint16>(c)).u16(width).u16(kXfCentred);
        b.u16(0).u16(0);
        record(worksheet, kColInfo, b);
    }
    Bytes dimensions;
    dimensions.u32(0).u32(static_cast<quint32>(sheet.rowCount() > 0 ? sheet.rowCount() + 2 : 1));
    dimensions.u16(0).u16(static_cast<quint16>(columns)).u16(0);
    record(worksheet, kDimensions, dimensions);
    worksheet += cells;
    cells = QByteArray();
    Bytes window;
    window.u16(0x06B6).u16(0).u16(0).u16(64).u16(0).u16(0).u16(0).u16(0).u16(0);
    record(worksheet, kWindow2, window);
    record(worksheet, kEof, QByteArray());

    QByteArray stream = globals(strings, QStringLiteral("Sheet1"));
    stream += worksheet;
    worksheet = QByteArray();

    FileOutput file(path);
    if (!file.ok())
        return WriteResult::failed(file.error());
    writeCompoundFile(file, stream);
    if (!file.finish())
        return WriteResult::failed(file.error());
    return WriteResult::written();
}

} // namespace logexport
