#pragma once

#include "core/export/SheetWriter.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace platform {
class Dialogs;
}
namespace logging {
class Logger;
class LogModel;
} // namespace logging

namespace logexport {

// The file a log is saved to: the chosen name with the chosen filter's extension.
struct OutputFile {
    QString path;
    Format format;
};

// The save dialog's filters, in the order of Format.
QStringList logFileFilters();
// The name proposed in the save dialog: "Level Probe Log n" or "Rotary Encoder Log n".
QString proposedLogName(bool rotary, int shownTab);
// The chosen name cut before the last "." of its file name, plus the extension of the chosen
// filter (0-2); nothing for another filter.
std::optional<OutputFile> outputFile(const QString& chosen, int filterIndex);

// Asks for the file, proposing the name; nothing when the user cancels.
std::optional<OutputFile> chooseLogFile(platform::Dialogs& dialogs, const QString& proposedName);
// Writes the log to the chosen file, asking before an existing file is replaced and saying why
// when it cannot be saved. The path written, or empty.
QString saveLogTo(platform::Dialogs& dialogs, const logging::LogModel& log,
                  const OutputFile& output);
// Both: asks for the file, then writes the log to it.
QString saveLog(platform::Dialogs& dialogs, const logging::LogModel& log,
                const QString& proposedName);

// "Save Log" of every page: asks for the file, and writes the page's log to it.
class LogExporter {
public:
    // The index of the tab shown, which numbers the proposed name.
    using ShownTab = std::function<int()>;

    LogExporter(platform::Dialogs& dialogs, logging::Logger& logger, ShownTab shownTab);

    void SaveLogBut_Click(int Index);

private:
    platform::Dialogs& dialogs_;
    logging::Logger& logger_;
    ShownTab shownTab_;
};

} // namespace logexport
