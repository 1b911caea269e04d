#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace testing {

// A sheet read back by a reader of its own format, each cell as a text that tells its kind:
// "" empty, "d:2026-12-06" a date, "t:14:03:27" a time, "#12.5" a number, any other text a
// text cell. Rows and columns from 0; trailing empty cells and rows are left out.
using Grid = QList<QStringList>;

// The .xls through libfreexl.
Grid readXls(const QString& path, QString* error = nullptr);

// Where the .xls's string index (EXTSST) is wrong: every bucket must give the stream
// position of its first text and that text's offset in its SST or CONTINUE record (header
// included). Empty when it is right.
QString xlsStringIndexMismatch(const QString& path);

// The .xlsx unzipped with libzip and its sheet, shared strings and styles read as XML.
struct XlsxSheet {
    Grid cells;
    QList<double> columnWidths;  // of columns A, B, ...
    QStringList columnAlignment; // the horizontal alignment of each column's style
    QStringList cellAlignment;   // the horizontal alignment of every non-empty cell
};
XlsxSheet readXlsx(const QString& path);

// Comma-separated text: fields split at commas outside quotes, doubled quotes inside quotes
// read as one, lines ended by CR LF only (a lone CR or LF is a field's content).
Grid readCsv(const QByteArray& bytes);

// Any of the three, by the file name's extension.
Grid readSheet(const QString& path);

} // namespace testing
