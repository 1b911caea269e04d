#include "RecoveredLogSave.h"

#include "export/LogExporter.h"
#include "export/LogSheet.h"
#include "export/SafeSave.h"
#include "export/XlsWriter.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QFileInfo>

namespace app {

using platform::Dialogs;

// The same steps as the pages' "Save Log" (logexport::LogExporter), which saves a page's log
// and so cannot take this one.
QString saveRecoveredLog(Dialogs& dialogs, const logging::LogModel& log,
                         const QString& proposedName) {
    const QString title = QStringLiteral("Save Log");
    const auto choice = dialogs.saveFile(QStringLiteral("Select Filename to Save to"), proposedName,
                                         logexport::logFileFilters());
    if (!choice)
        return {};
    const auto output = logexport::outputFile(choice->path, choice->filterIndex);
    if (!output)
        return {};
    const QString shownPath = QDir::toNativeSeparators(output->path);
    const auto tell = [&](const QString& text) {
        dialogs.messageBox(title, text, Dialogs::Icon::Exclamation);
    };

    const logexport::LogSheet sheet(log);
    if (output->format == logexport::Format::Xls &&
        sheet.rowCount() > logexport::XlsWriter::kMaxReadings) {
        tell(QStringLiteral("The log has %L1 readings, and an Excel 97-2003 (.xls) sheet holds "
                            "at most %L2 (65,536 rows with the header and the empty row).\n\n"
                            "Save it as .xlsx or .csv to keep every reading.")
                 .arg(sheet.rowCount())
                 .arg(logexport::XlsWriter::kMaxReadings));
        return {};
    }
    const QFileInfo existing(output->path);
    if (existing.isDir()) {
        tell(QStringLiteral("%1 is a folder. Choose another name.").arg(shownPath));
        return {};
    }
    if (existing.exists() &&
        dialogs.messageBox(
            title, QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(shownPath),
            Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo,
            Dialogs::Button::No) != Dialogs::Button::Yes)
        return {};

    std::unique_ptr<Dialogs::Progress> progress = dialogs.progress(
        title, QStringLiteral("Saving the log to %1").arg(shownPath), sheet.rowCount());
    const logexport::Progress report = [&](int written) {
        return !progress || progress->setValue(written);
    };
    const auto writer = logexport::makeWriter(output->format);
    const logexport::WriteResult result =
        logexport::saveReplacing(*writer, sheet, output->path, report);
    progress.reset();
    if (result.status == logexport::WriteResult::Status::Failed)
        tell(
            QStringLiteral("The log could not be saved to %1.\n\n%2").arg(shownPath, result.error));
    return result.status == logexport::WriteResult::Status::Written ? output->path : QString();
}

} // namespace app
