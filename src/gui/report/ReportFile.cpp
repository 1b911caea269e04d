#include "ReportFile.h"

#include "core/report/ConfigReport.h"
#include "gui/platform/Dialogs.h"

#include <QSaveFile>

namespace report {

namespace {

QFileDevice::FileError failure(const QSaveFile& file, QFileDevice::FileError otherwise) {
    return file.error() != QFileDevice::NoError ? file.error() : otherwise;
}

} // namespace

QFileDevice::FileError writeReportFile(const QString& path, const QByteArray& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(file, QFileDevice::OpenError);
    // commit() renames even when its own final flush fails (a full disk), so flush first.
    // Without commit() the temporary file is discarded and the old one stays.
    if (file.write(text) != text.size() || !file.flush() || !file.commit())
        return failure(file, QFileDevice::WriteError);
    return QFileDevice::NoError;
}

void saveReport(platform::Dialogs& dialogs, const ConfigReport& report) {
    const auto choice =
        dialogs.saveFile(QStringLiteral("Select Filename to Save As"), report.proposedName,
                         {QStringLiteral("Text Files(*.txt)")});
    if (!choice)
        return;
    const QFileDevice::FileError error = writeReportFile(choice->path, fileText(report.lines));
    if (error != QFileDevice::NoError)
        dialogs.messageBox(QStringLiteral("Save Config"),
                           QStringLiteral("Error encountered while saving file. ") +
                               QString::number(error),
                           platform::Dialogs::Icon::Exclamation);
}

} // namespace report
