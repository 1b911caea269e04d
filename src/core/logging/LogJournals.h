#pragma once

#include "core/logging/LogListener.h"
#include "core/logging/Logger.h"
#include "core/logging/MissedReadings.h"
#include "core/platform/Services.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace logging {

class JournalDisk;

// The journals of the pages' logs: a page's log gets a journal on disk with its first row,
// every row and every missed reading of a running log go to it, "Clear Log" ends it, an
// address change takes it along to the new page, and the end of the program ends them all.
// A journal that cannot be written is told of once (writeFailed) and its log goes on in
// memory.
//
// It owns, per page, which journals hold the page's log and how many of its readings were
// missed.
class LogJournals final : public QObject, public LogListener {
    Q_OBJECT
public:
    // What a journal's header says about the sensor of a page.
    struct Sensor {
        bool rotary = false;
        QString serial;
        QString port;
    };
    using SensorOf = std::function<Sensor(int tab)>;

    LogJournals(JournalDisk& disk, QString folder, platform::Clock clock, SensorOf sensorOf,
                QObject* parent = nullptr);
    // Ends every journal as finished: the program closes normally.
    ~LogJournals() override;

    // Counts the readings of the logger's running logs that do not come.
    void watch(sdilink::Link& link, const Logger& logger);
    // The sensor list's "Log Status" writer, "Logging" followed by the count of missed
    // readings once there are any.
    Logger::LogStatusWriter statusWriter(Logger::LogStatusWriter show);

    const QString& folder() const { return folder_; }
    int missed(int tab) const { return page(tab).missed; }
    // The file of the page's journal, once the disk has made it; empty without one.
    QString path(int tab) const { return paths_.value(page(tab).active); }
    // Every log with rows has its journal.
    bool allSaved() const;
    // The pages whose readings since their journal failed are kept only in the window.
    QList<int> unsavedPages() const;

    void rowAdded(int tab, const QDateTime& when, const QString& value1, const QString& units1,
                  const QString& value2, const QString& units2) override;
    void logCleared(int tab) override;
    void logMoved(int from, int to) override;
    void logReadingSent(int tab) override;
    void logReadingSkipped(int tab) override;

Q_SIGNALS:
    // A journal could not be written: the folder and the system's reason.
    void writeFailed(const QString& folder, const QString& reason);
    void allSavedChanged(bool saved);

private:
    struct Page {
        quint64 active = 0;            // the journal new lines go to
        std::vector<quint64> attached; // journals of rows moved in below the page's own
        bool failed = false;           // rows kept in memory only, until the log is cleared
        bool rotary = false;
        int missed = 0;
        std::vector<QByteArray> early; // missed lines before the first row, at most kEarly
    };
    static constexpr size_t kEarly = 1000;

    Page& page(int tab) { return pages_.at(static_cast<size_t>(tab)); }
    const Page& page(int tab) const { return pages_.at(static_cast<size_t>(tab)); }
    void open(int tab, const QDateTime& when, const QString& units1, const QString& units2);
    void end(Page& p, QByteArrayView why);
    void readingMissed(int tab, const QString& reason);
    void diskFailed(quint64 journal, const QString& folder, const QString& reason);
    QString statusText(int tab, const QString& text) const;
    void showStatus(int tab);
    void setFailed(Page& p, bool failed);

    JournalDisk& disk_;
    QString folder_;
    platform::Clock clock_;
    SensorOf sensorOf_;
    std::array<Page, 10> pages_;
    QHash<quint64, QString> paths_;
    quint64 lastJournal_ = 0;
    bool allSaved_ = true;
    std::unique_ptr<MissedReadings> missedReadings_;
    const LoggingState* state_ = nullptr;
    Logger::LogStatusWriter show_;
};

} // namespace logging
