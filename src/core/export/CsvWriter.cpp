#include "CsvWriter.h"

#include "FileOutput.h"
#include "LogSheet.h"
#include "core/logging/CsvText.h"

namespace logexport {

namespace {

void appendField(QByteArray& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    if (!logging::csvNeedsQuotes(text)) {
        out += utf8;
        return;
    }
    out += '"';
    for (char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendDate(QByteArray& out, QDate date) {
    logging::appendDigits(out, date.year(), 4);
    out += '-';
    logging::appendDigits(out, date.month(), 2);
    out += '-';
    logging::appendDigits(out, date.day(), 2);
}

void appendTime(QByteArray& out, QTime time) {
    logging::appendDigits(out, time.hour(), 2);
    out += ':';
    logging::appendDigits(out, time.minute(), 2);
    out += ':';
    logging::appendDigits(out, time.second(), 2);
}

} // namespace

WriteResult CsvWriter::write(const LogSheet& sheet, const QString& path, const Progress& progress) {
    FileOutput file(path);
    if (!file.ok())
        return WriteResult::failed(file.error());
    QByteArray& out = file.buffer();
    const int columns = sheet.columnCount();
    for (int c = 0; c < columns; ++c) {
        if (c > 0)
            out += ',';
        appendField(out, sheet.header(c));
    }
    out += "\r\n\r\n";

    for (int k = 0; k < sheet.rowCount(); ++k) {
        if (k % kProgressStep == 0 && k > 0 && progress && !progress(k))
            return WriteResult::cancelled();
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                out += ',';
            switch (LogSheet::kind(c)) {
            case CellKind::Date:
                appendDate(out, sheet.date(k));
                break;
            case CellKind::Time:
                appendTime(out, sheet.time(k));
                break;
            case CellKind::Number:
                if (const auto value = sheet.number(k, c))
                    out += numberText(*value);
                break;
            case CellKind::Text:
                appendField(out, sheet.text(k, c));
                break;
            }
        }
        out += "\r\n";
        file.maybeFlush();
        if (!file.ok())
            return WriteResult::failed(file.error());
    }
    if (!file.finish())
        return WriteResult::failed(file.error());
    return WriteResult::written();
}

} // namespace logexport
