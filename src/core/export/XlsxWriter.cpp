#include "XlsxWriter.h"

#include "ColumnWidths.h"
#include "LogSheet.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <xlsxwriter.h>

namespace logexport {

static_assert(XlsxWriter::kMaxReadings + 2 == LXW_ROW_MAX);

namespace {

lxw_format* centred(lxw_workbook* book, const char* numberFormat = nullptr) {
    lxw_format* format = workbook_add_format(book);
    format_set_align(format, LXW_ALIGN_CENTER);
    if (numberFormat != nullptr)
        format_set_num_format(format, numberFormat);
    return format;
}

QString libraryError(lxw_error error) {
    return QString::fromUtf8(lxw_strerror(error));
}

} // namespace

WriteResult XlsxWriter::write(const LogSheet& sheet, const QString& path,
                              const Progress& progress) {
    if (sheet.rowCount() > kMaxReadings)
        return WriteResult::failed(
            QStringLiteral("An .xlsx sheet holds at most %L1 readings.").arg(kMaxReadings));
    lxw_workbook_options options{};
    options.constant_memory = sheet.rowCount() > kConstantMemoryRows ? LXW_TRUE : LXW_FALSE;
    const QByteArray fileName = QFile::encodeName(path);
    lxw_workbook* book = workbook_new_opt(fileName.constData(), &options);
    if (book == nullptr)
        return WriteResult::failed(QStringLiteral("The workbook could not be created."));
    lxw_worksheet* ws = workbook_add_worksheet(book, nullptr);
    lxw_format* text = centred(book);
    lxw_format* date = centred(book, "yyyy-mm-dd");
    lxw_format* time = centred(book, "hh:mm:ss");
    if (ws == nullptr || text == nullptr || date == nullptr || time == nullptr) {
        lxw_workbook_free(book);
        return WriteResult::failed(QStringLiteral("The workbook could not be created."));
    }

    const int columns = sheet.columnCount();
    ColumnWidths widths;
    lxw_error error = LXW_NO_ERROR;
    for (int c = 0; c < columns && error == LXW_NO_ERROR; ++c) {
        const QString header = sheet.header(c);
        widths.fit(c, header.size());
        error = worksheet_write_string(ws, 0, static_cast<lxw_col_t>(c),
                                       header.toUtf8().constData(), text);
    }
    // Row 2 stays empty; reading k goes to row k + 3.
    for (int k = 0; k < sheet.rowCount() && error == LXW_NO_ERROR; ++k) {
        if (k % kProgressStep == 0 && k > 0 && progress && !progress(k)) {
            lxw_workbook_free(book);
            return WriteResult::cancelled();
        }
        const auto row = static_cast<lxw_row_t>(k + 2);
        for (int c = 0; c < columns && error == LXW_NO_ERROR; ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            switch (LogSheet::kind(c)) {
            case CellKind::Date:
                error = worksheet_write_number(ws, row, col, serialDate(sheet.date(k)), date);
                break;
            case CellKind::Time:
                error = worksheet_write_number(ws, row, col, serialTime(sheet.time(k)), time);
                break;
            case CellKind::Number:
                if (const auto value = sheet.number(k, c)) {
                    widths.fit(c, numberText(*value).size());
                    error = worksheet_write_number(ws, row, col, *value, text);
                }
                break;
            case CellKind::Text: {
                const QString value = sheet.text(k, c);
                if (!value.isEmpty()) {
                    widths.fit(c, value.size());
                    error = worksheet_write_string(ws, row, col, value.toUtf8().constData(), text);
                }
                break;
            }
            }
        }
    }
    if (sheet.rowCount() > 0) {
        widths.fit(0, kDateCharacters);
        widths.fit(1, kTimeCharacters);
    }
    for (int c = 0; c < columns && error == LXW_NO_ERROR; ++c)
        error = worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                     widths.width(c), text);
    if (error != LXW_NO_ERROR) {
        lxw_workbook_free(book);
        return WriteResult::failed(libraryError(error));
    }
    errno = 0;
    error = workbook_close(book);
    if (error != LXW_NO_ERROR) {
        const int why = errno;
        QString message = libraryError(error);
        if (why != 0)
            message += QLatin1Char(' ') + QString::fromLocal8Bit(std::strerror(why));
        return WriteResult::failed(message);
    }
    return WriteResult::written();
}

} // namespace logexport
