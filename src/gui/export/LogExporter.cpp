#include "LogExporter.h"

#include "core/export/LogSheet.h"
#include "core/export/SafeSave.h"
#include "core/export/XlsWriter.h"
#include "core/export/XlsxWriter.h"
#include "core/logging/LogModel.h"
#include "core/logging/Logger.h"
#include "gui/platform/Dialogs.h"

#include <QDir>
#include <QFileInfo>

namespace logexport {

namespace {

using Dialogs = platform::Dialogs;

const QString kTitle = QStringLiteral("Save Log");

// What to tell the user when the log has more readings than a sheet of the format holds;
// empty when it fits.
QString tooLongForSheet(Format format, int readings) {
    int most = 0;
    QString sheet;
    QString instead;
    switch (format) {
    case Format::Xls:
        most = XlsWriter::kMaxReadings;
        sheet = QStringLiteral("an Excel 97-2003 (.xls) sheet");
        instead = QStringLiteral(".xlsx or .csv");
        break;
    case Format::Xlsx:
        most = XlsxWriter::kMaxReadings;
        sheet = QStringLiteral("an Excel (.xlsx) sheet");
        instead = QStringLiteral(".csv");
        break;
    case Format::Csv:
        return {};
    }
    if (readings <= most)
        return {};
    return QStringLiteral("The log has %L1 readings, and %2 holds at most %L3 (%L4 rows with the "
                          "header and the empty row).\n\nSave it as %5 to keep every reading.")
        .arg(readings)
        .arg(sheet)
        .arg(most)
        .arg(most + 2)
        .arg(instead);
}

} // namespace

QStringList logFileFilters() {
    return {QStringLiteral("Log Files (Excel pre '03)(*.xls)"),
            QStringLiteral("Log Files (Excel post '03)(*.xlsx)"),
            QStringLiteral("Log Files (comma delimited)(*.csv)")};
}

QString proposedLogName(bool rotary, int shownTab) {
    return (rotary ? QStringLiteral("Rotary Encoder Log ") : QStringLiteral("Level Probe Log ")) +
           QString::number(shownTab);
}

std::optional<OutputFile> outputFile(const QString& chosen, int filterIndex) {
    static const char* const extensions[] = {".xls", ".xlsx", ".csv"};
    if (filterIndex < 0 || filterIndex > 2 || chosen.isEmpty())
        return std::nullopt;
    // Only the file name loses its extension: a "." in a folder name stays.
    const qsizetype slash = chosen.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = chosen.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > slash + 1 ? chosen.left(dot) : chosen;
    return OutputFile{stem + QLatin1String(extensions[filterIndex]),
                      static_cast<Format>(filterIndex)};
}

LogExporter::LogExporter(Dialogs& dialogs, logging::Logger& logger, ShownTab shownTab)
    : dialogs_(dialogs), logger_(logger), shownTab_(std::move(shownTab)) {}

void LogExporter::SaveLogBut_Click(int Index) {
    const logging::LogModel& log = logger_.log(Index);
    const bool rotary = log.layout() == logging::LogModel::Layout::Rotary;
    saveLog(dialogs_, log, proposedLogName(rotary, shownTab_()));
}

std::optional<OutputFile> chooseLogFile(Dialogs& dialogs, const QString& proposedName) {
    const auto choice = dialogs.saveFile(QStringLiteral("Select Filename to Save to"), proposedName,
                                         logFileFilters());
    if (!choice)
        return std::nullopt;
    return outputFile(choice->path, choice->filterIndex);
}

QString saveLog(Dialogs& dialogs, const logging::LogModel& log, const QString& proposedName) {
    const auto output = chooseLogFile(dialogs, proposedName);
    return output ? saveLogTo(dialogs, log, *output) : QString();
}

QString saveLogTo(Dialogs& dialogs, const logging::LogModel& log, const OutputFile& output) {
    const QString shownPath = QDir::toNativeSeparators(output.path);

    LogSheet sheet(log);
    if (const QString tooLong = tooLongForSheet(output.format, sheet.rowCount());
        !tooLong.isEmpty()) {
        dialogs.messageBox(kTitle, tooLong, Dialogs::Icon::Exclamation);
        return {};
    }
    const QFileInfo existing(output.path);
    if (existing.exists()) {
        if (existing.isDir()) {
            dialogs.messageBox(
                kTitle, QStringLiteral("%1 is a folder. Choose another name.").arg(shownPath),
                Dialogs::Icon::Exclamation);
            return {};
        }
        if (dialogs.messageBox(
                kTitle,
                QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(shownPath),
                Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo,
                Dialogs::Button::No) != Dialogs::Button::Yes)
            return {};
    }

    std::unique_ptr<Dialogs::Progress> progress = dialogs.progress(
        kTitle, QStringLiteral("Saving the log to %1").arg(shownPath), sheet.rowCount());
    bool cleared = false;
    const Progress report = [&](int written) {
        const bool goOn = !progress || progress->setValue(written);
        // The window's events ran: a log emptied meanwhile cannot be read on.
        cleared = !sheet.intact();
        return goOn && !cleared;
    };
    const std::unique_ptr<SheetWriter> writer = makeWriter(output.format);
    const WriteResult result = saveReplacing(*writer, sheet, output.path, report);
    progress.reset();

    if (result.status == WriteResult::Status::Failed || cleared)
        dialogs.messageBox(kTitle,
                           QStringLiteral("The log could not be saved to %1.\n\n%2")
                               .arg(shownPath, cleared ? QStringLiteral("The log was cleared "
                                                                        "while it was being saved.")
                                                       : result.error),
                           Dialogs::Icon::Exclamation);
    return result.status == WriteResult::Status::Written && !cleared ? output.path : QString();
}

} // namespace logexport
