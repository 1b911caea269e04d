#include "SheetReaders.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QTime>
#include <QXmlStreamReader>
#include <QtEndian>
#include <freexl.h>
#include <zip.h>

namespace testing {

namespace {

QString dateCell(double serial) {
    return QStringLiteral("d:") +
           QDate(1899, 12, 30).addDays(static_cast<qint64>(serial)).toString(Qt::ISODate);
}
QString timeCell(double serial) {
    const double fraction = serial - static_cast<qint64>(serial);
    return QStringLiteral("t:") + QTime::fromMSecsSinceStartOfDay(qRound(fraction * 86400000.0))
                                      .toString(QStringLiteral("hh:mm:ss"));
}
QString numberCell(double value) {
    return QStringLiteral("#") + QString::number(value, 'g', 15);
}

void put(Grid& grid, int row, int col, const QString& value) {
    if (value.isEmpty())
        return;
    while (grid.size() <= row)
        grid.append(QStringList());
    QStringList& r = grid[row];
    while (r.size() <= col)
        r.append(QString());
    r[col] = value;
}

QByteArray unzipped(zip_t* archive, const char* name) {
    zip_stat_t st;
    zip_file_t* file = nullptr;
    if (zip_stat(archive, name, 0, &st) != 0 || (file = zip_fopen(archive, name, 0)) == nullptr)
        return {};
    QByteArray bytes(static_cast<qsizetype>(st.size), '\0');
    zip_fread(file, bytes.data(), st.size);
    zip_fclose(file);
    return bytes;
}

int columnOf(QStringView ref) {
    int col = 0;
    for (QChar c : ref) {
        if (!c.isLetter())
            break;
        col = col * 26 + (c.unicode() - 'A' + 1);
    }
    return col - 1;
}

quint16 u16(const QByteArray& b, qsizetype at) {
    return at + 2 <= b.size() ? qFromLittleEndian<quint16>(b.constData() + at) : 0;
}
quint32 u32(const QByteArray& b, qsizetype at) {
    return at + 4 <= b.size() ? qFromLittleEndian<quint32>(b.constData() + at) : 0xFFFFFFFE;
}

// A stream of a compound file, followed through the header's and the DIFAT's FAT sectors
// and the FAT. Streams in the mini stream (under 4096 bytes) are not read: the workbook
// written never is one.
QByteArray compoundStream(const QByteArray& file, QStringView name) {
    if (file.size() < 512)
        return {};
    const qsizetype sector = qsizetype(1) << u16(file, 30);
    const auto at = [sector](quint32 s) { return (qsizetype(s) + 1) * sector; };
    QList<quint32> fatSectors;
    for (int i = 0; i < 109; ++i)
        fatSectors << u32(file, 76 + 4 * i);
    for (quint32 d = u32(file, 68); at(d) < file.size(); d = u32(file, at(d) + sector - 4))
        for (qsizetype i = 0; i < sector / 4 - 1; ++i)
            fatSectors << u32(file, at(d) + 4 * i);
    fatSectors.resize(u32(file, 44));
    QList<quint32> fat;
    for (quint32 f : fatSectors)
        for (qsizetype i = 0; i < sector / 4; ++i)
            fat << u32(file, at(f) + 4 * i);
    const auto chain = [&](quint32 start, qsizetype size) {
        QByteArray bytes;
        for (quint32 s = start; s < fat.size() && bytes.size() < size; s = fat[s])
            bytes += file.mid(at(s), sector);
        return bytes.left(size);
    };
    const QByteArray directory = chain(u32(file, 48), file.size());
    for (qsizetype e = 0; e + 128 <= directory.size(); e += 128) {
        const int length = std::max(0, u16(directory, e + 64) / 2 - 1);
        const auto* entry = reinterpret_cast<const char16_t*>(directory.constData() + e);
        if (QStringView(entry, length) == name)
            return chain(u32(directory, e + 116), u32(directory, e + 120));
    }
    return {};
}

} // namespace

QString xlsStringIndexMismatch(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("no file");
    const QByteArray book = compoundStream(file.readAll(), u"Workbook");
    // The SST and its CONTINUE records (where each starts in the stream), then EXTSST.
    QList<qsizetype> records;
    QByteArray extSst;
    for (qsizetype at = 0; at + 4 <= book.size(); at += 4 + u16(book, at + 2)) {
        const quint16 type = u16(book, at);
        if (type == 0x00FC || (type == 0x003C && !records.isEmpty() && extSst.isEmpty()))
            records << at;
        else if (type == 0x00FF)
            extSst = book.mid(at + 4, u16(book, at + 2));
    }
    if (records.isEmpty() || extSst.isEmpty())
        return QStringLiteral("no SST or no EXTSST");

    // Where each text starts: its length, its flags, then its characters, which go on after
    // a repeated flag byte in the next record when they do not fit.
    QList<qsizetype> starts;
    QList<qsizetype> recordOf;
    int r = 0;
    qsizetype o = 12; // the record header, the texts' total and distinct counts
    const quint32 unique = u32(book, records[0] + 8);
    const auto end = [&] { return records[r] + 4 + u16(book, records[r] + 2); };
    for (quint32 k = 0; k < unique; ++k) {
        if (records[r] + o >= end() && ++r < records.size())
            o = 4;
        if (r >= records.size())
            return QStringLiteral("the string table ends before text %1").arg(k);
        starts << records[r] + o;
        recordOf << records[r];
        qsizetype left = u16(book, records[r] + o);
        qsizetype charSize = (book.at(records[r] + o + 2) & 1) + 1;
        o += 3;
        while (left > 0) {
            if (records[r] + o >= end()) {
                if (++r >= records.size())
                    return QStringLiteral("text %1 runs past the string table").arg(k);
                charSize = (book.at(records[r] + 4) & 1) + 1;
                o = 5;
            }
            const qsizetype fit = std::min(left, (end() - records[r] - o) / charSize);
            o += fit * charSize;
            left -= fit;
        }
    }

    const quint16 perBucket = u16(extSst, 0);
    const qsizetype buckets = perBucket > 0 ? (unique + perBucket - 1) / perBucket : -1;
    if ((extSst.size() - 2) / 8 != buckets)
        return QStringLiteral("%1 buckets of %2 for %3 texts")
            .arg((extSst.size() - 2) / 8)
            .arg(perBucket)
            .arg(unique);
    for (qsizetype b = 0; b < buckets; ++b) {
        const qsizetype text = b * perBucket;
        const quint32 position = u32(extSst, 2 + 8 * b);
        const quint16 offset = u16(extSst, 6 + 8 * b);
        if (position != starts[text] || offset != starts[text] - recordOf[text])
            return QStringLiteral("bucket %1 gives %2 and %3; text %4 starts at %5, %6 into its "
                                  "record")
                .arg(b)
                .arg(position)
                .arg(offset)
                .arg(text)
                .arg(starts[text])
                .arg(starts[text] - recordOf[text]);
    }
    return {};
}

Grid readXls(const QString& path, QString* error) {
    const void* handle = nullptr;
    Grid grid;
    int rc = freexl_open(QFile::encodeName(path).constData(), &handle);
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (rc == FREEXL_OK)
        rc = freexl_select_active_worksheet(handle, 0);
    if (rc == FREEXL_OK)
        rc = freexl_worksheet_dimensions(handle, &rows, &columns);
    for (unsigned int r = 0; rc == FREEXL_OK && r < rows; ++r)
        for (unsigned short c = 0; rc == FREEXL_OK && c < columns; ++c) {
            FreeXL_CellValue cell;
            rc = freexl_get_cell_value(handle, r, c, &cell);
            const auto row = static_cast<int>(r);
            const QString text = cell.type >= FREEXL_CELL_TEXT
                                     ? QString::fromUtf8(cell.value.text_value)
                                     : QString();
            if (cell.type == FREEXL_CELL_INT || cell.type == FREEXL_CELL_DOUBLE)
                put(grid, row, c,
                    numberCell(cell.type == FREEXL_CELL_INT ? cell.value.int_value
                                                            : cell.value.double_value));
            else if (cell.type == FREEXL_CELL_TEXT || cell.type == FREEXL_CELL_SST_TEXT)
                put(grid, row, c, text);
            else if (cell.type == FREEXL_CELL_DATE || cell.type == FREEXL_CELL_TIME)
                put(grid, row, c,
                    QLatin1String(cell.type == FREEXL_CELL_DATE ? "d:" : "t:") + text);
        }
    if (error != nullptr)
        *error = rc == FREEXL_OK ? QString() : QStringLiteral("freexl error %1").arg(rc);
    if (handle != nullptr)
        freexl_close(handle);
    return grid;
}

XlsxSheet readXlsx(const QString& path) {
    XlsxSheet sheet;
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (archive == nullptr)
        return sheet;
    const QByteArray sheetXml = unzipped(archive, "xl/worksheets/sheet1.xml");
    const QByteArray stringsXml = unzipped(archive, "xl/sharedStrings.xml");
    const QByteArray stylesXml = unzipped(archive, "xl/styles.xml");
    zip_close(archive);

    QStringList strings;
    for (QXmlStreamReader x(stringsXml); !x.atEnd();)
        if (x.readNext() == QXmlStreamReader::StartElement && x.name() == u"t")
            strings.append(x.readElementText());

    // Styles: each cell format's number-format code and horizontal alignment.
    QHash<QString, QString> codes;
    QStringList xfCodes;
    QStringList xfAlignment;
    bool inCellXfs = false;
    for (QXmlStreamReader x(stylesXml); !x.atEnd();) {
        const auto token = x.readNext();
        if (token == QXmlStreamReader::EndElement && x.name() == u"cellXfs")
            inCellXfs = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const auto a = x.attributes();
        if (x.name() == u"numFmt")
            codes.insert(a.value(QLatin1String("numFmtId")).toString(),
                         a.value(QLatin1String("formatCode")).toString());
        else if (x.name() == u"cellXfs")
            inCellXfs = true;
        else if (inCellXfs && x.name() == u"xf") {
            xfCodes.append(codes.value(a.value(QLatin1String("numFmtId")).toString()));
            xfAlignment.append(QString());
        } else if (inCellXfs && x.name() == u"alignment")
            xfAlignment.last() = a.value(QLatin1String("horizontal")).toString();
    }

    int row = -1;
    int col = 0;
    QString type;
    int style = 0;
    for (QXmlStreamReader x(sheetXml); !x.atEnd();) {
        if (x.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = x.attributes();
        if (x.name() == u"col") {
            sheet.columnWidths.append(a.value(QLatin1String("width")).toDouble());
            sheet.columnAlignment.append(
                xfAlignment.value(a.value(QLatin1String("style")).toInt()));
        } else if (x.name() == u"row") {
            row = a.value(QLatin1String("r")).toInt() - 1;
        } else if (x.name() == u"c") {
            col = columnOf(a.value(QLatin1String("r")));
            type = a.value(QLatin1String("t")).toString();
            style = a.value(QLatin1String("s")).toInt();
            sheet.cellAlignment.append(xfAlignment.value(style));
        } else if (x.name() == u"v" || x.name() == u"t") {
            const QString v = x.readElementText();
            const QString code = xfCodes.value(style);
            QString cell;
            if (type == u"s")
                cell = strings.value(v.toInt());
            else if (type == u"inlineStr" || type == u"str")
                cell = v;
            else if (code.contains(u"yyyy"))
                cell = dateCell(v.toDouble());
            else if (code.contains(u"hh"))
                cell = timeCell(v.toDouble());
            else
                cell = numberCell(v.toDouble());
            put(sheet.cells, row, col, cell);
        }
    }
    return sheet;
}

Grid readCsv(const QByteArray& bytes) {
    Grid grid;
    const QString text = QString::fromUtf8(bytes);
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"')
                field += text.at(++i);
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row.append(std::exchange(field, QString()));
        } else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            ++i;
            row.append(std::exchange(field, QString()));
            while (!row.isEmpty() && row.last().isEmpty())
                row.removeLast();
            grid.append(std::exchange(row, QStringList()));
        } else {
            field += c;
        }
    }
    return grid;
}

Grid readSheet(const QString& path) {
    if (path.endsWith(u".xls"))
        return readXls(path);
    if (path.endsWith(u".xlsx"))
        return readXlsx(path).cells;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? readCsv(file.readAll()) : Grid();
}

} // namespace testing
