#pragma once

#include <QString>

namespace platform {
class Dialogs;
}
namespace logging {
class LogModel;
}

namespace app {

// "Save As..." of a recovered log: the exporter's save dialog, file types, name rule,
// question before replacing, .xls limit, progress and messages, for a log that is no page's.
// The path written, or empty when nothing was (cancelled, refused, failed: the user was told
// why).
QString saveRecoveredLog(platform::Dialogs& dialogs, const logging::LogModel& log,
                         const QString& proposedName);

} // namespace app
