#pragma once

#include "AppServices.h"
#include "core/logging/JournalReader.h"
#include "core/logging/LogJournals.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QThread;
class QWidget;

namespace logging {
class JournalThread;
}

namespace app {

class RecoveryWindow;

// The logs on disk, wired into the main window: the journals of the pages' logs and their
// writer thread, "File" > "Open Log Folder", the status-bar panel shown while a log is not
// being saved, the one message when a journal cannot be written, and at start the tidying
// of the folder and the "Recovered Logs" window.
class Journalling final : public QObject {
    Q_OBJECT
public:
    Journalling(const AppServices& services, logging::Logger& logger, sdilink::Link& link,
                QMenu* fileMenu, QStatusBar* statusBar, logging::LogJournals::SensorOf sensorOf);
    // Ends every journal as finished, and waits for the disk.
    ~Journalling() override;

    // The sensor list's "Log Status" writer with the count of missed readings.
    logging::Logger::LogStatusWriter statusWriter(logging::Logger::LogStatusWriter show);
    // Tidies the folder and looks for journals an earlier run left unfinished, on a thread of
    // its own; shows them in "Recovered Logs" if there are any.
    void offerRecovered();
    // What quitting loses: the readings kept only in the window since their journal could
    // not be written; empty when nothing.
    QString quitWarning() const;

    logging::LogJournals& journals() { return *journals_; }
    // Blocks until the disk has written everything handed to it so far.
    void waitUntilWritten();
    // "Recovered Logs" while it is open.
    RecoveryWindow* recoveryWindow() const;

    QAction* mnuOpenLogFolder;
    QLabel* JournalPanel; // "Log not saved to disk"

private:
    void showRecovered();
    void writeFailed(const QString& folder, const QString& reason);

    AppServices services_;
    QWidget* window_;
    QDateTime runStart_;
    std::unique_ptr<logging::JournalThread> thread_;
    std::unique_ptr<logging::LogJournals> journals_;
    logging::Logger& logger_;
    std::unique_ptr<QThread> lookup_;
    QList<logging::JournalSummary> found_; // written by lookup_, read once it has finished
    QPointer<RecoveryWindow> recovery_;
    bool told_ = false;
};

} // namespace app
