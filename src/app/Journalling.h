#pragma once

#include "AppServices.h"
#include "logging/LogJournals.h"

#include <QObject>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QWidget;

namespace logging {
class JournalThread;
}

namespace app {

// The logs on disk, wired into the main window: the journals of the pages' logs and their
// writer thread, "File" > "Open Log Folder", the status-bar panel shown while a log is not
// being saved, and the one message when a journal cannot be written.
class Journalling final : public QObject {
    Q_OBJECT
public:
    Journalling(const AppServices& services, logging::Logger& logger, sdilink::Link& link,
                QMenu* fileMenu, QStatusBar* statusBar, logging::LogJournals::SensorOf sensorOf);
    // Ends every journal as finished, and waits for the disk.
    ~Journalling() override;

    // The sensor list's "Log Status" writer with the count of missed readings.
    logging::Logger::LogStatusWriter statusWriter(logging::Logger::LogStatusWriter show);

    logging::LogJournals& journals() { return *journals_; }
    // Blocks until the disk has written everything handed to it so far.
    void waitUntilWritten();

    QAction* mnuOpenLogFolder;
    QLabel* JournalPanel; // "Log not saved to disk"

private:
    void writeFailed(const QString& folder, const QString& reason);

    AppServices services_;
    QWidget* window_;
    std::unique_ptr<logging::JournalThread> thread_;
    std::unique_ptr<logging::LogJournals> journals_;
    logging::Logger& logger_;
    bool told_ = false;
};

} // namespace app
