#pragma once

#include <QFileDevice>

namespace platform {
class Dialogs;
}

namespace report {

struct ConfigReport;

// Writes text to path. An existing file is replaced only once the new one is completely
// written; on failure it stays as it was. Returns the file error, NoError on success.
QFileDevice::FileError writeReportFile(const QString& path, const QByteArray& text);

// "Save As...": asks for a file name and writes the report there. A cancelled dialog writes
// nothing; a failure shows the error box with the file error's number.
void saveReport(platform::Dialogs& dialogs, const ConfigReport& report);

} // namespace report
