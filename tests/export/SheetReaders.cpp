#include "SheetReaders.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QTime>
#include <QXmlStreamReader>
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

} // namespace

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
