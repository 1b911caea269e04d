#pragma once

#include "Options.h"
#include "core/configure/ConfigRows.h"
#include "core/export/SheetWriter.h"
#include "core/link/Link.h"
#include "core/logging/Logger.h"
#include "core/platform/PortMap.h"
#include "core/platform/QtSerialPort.h"
#include "core/report/ConfigReport.h"
#include "core/report/ReportReader.h"
#include "core/session/Sensors.h"

#include <QCoroTask>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>
#include <vector>

namespace levelprobe {
struct LevelRecord;
}
namespace rotary {
struct RotaryRecord;
}

namespace cli {

// Says once, from the event loop, why something should end; the first reason stays.
class Stop final : public QObject {
    Q_OBJECT
public:
    void end(const QString& why) {
        if (ended_)
            return;
        ended_ = true;
        QMetaObject::invokeMethod(
            this, [this, why] { Q_EMIT ended(why); }, Qt::QueuedConnection);
    }

Q_SIGNALS:
    void ended(const QString& why);

private:
    bool ended_ = false;
};

// The sdi12 program's work: the port, the link and the chosen family's sensors without a
// window, and one command run on them. Every command is a coroutine that ends with the
// program's exit status: 0 done and read back as asked, 1 a sensor did not answer, refused
// or reads back different, 2 a usage, port or file error.
class Tool {
public:
    explicit Tool(const Options& options);
    ~Tool();

    QCoro::Task<int> run();

private:
    // Opens the port the options name (or the settings file's); false after saying why.
    bool openPort();
    int ports();
    QCoro::Task<int> scan();
    QCoro::Task<int> show(int p);
    QCoro::Task<int> get(int p, QString name);
    QCoro::Task<int> set(int p, QString name, QString value);
    QCoro::Task<int> measure(int p);
    QCoro::Task<int> send(QString request);
    // The report read in run(), under its file name.
    QCoro::Task<int> apply(QString name, QList<int> addresses);
    QCoro::Task<int> compare(int p, QString other);
    QCoro::Task<int> address(int p, int b);
    QCoro::Task<int> log(int p);
    // The units a reading is shown in, read from the sensor; false after saying why.
    QCoro::Task<bool> readUnits(int p);
    // A configuration report of the chosen family from a file; empty after saying why.
    std::optional<report::ReadReport> readReportFile(const QString& path) const;
    // The rows of a sensor beside a report, planned as Apply plans them.
    std::vector<configure::ConfigRow> rowsBeside(int p, const report::ReadReport& other);
    QJsonObject rowJson(const configure::ConfigRow& row) const;
    // The format --output names by its extension.
    std::optional<logexport::Format> outputFormat() const;
    // Reads the sensor at p with the scan's queries; false after saying that nothing answers.
    QCoro::Task<bool> readSensor(int p);
    QCoro::Task<discovery::BusScan::Result> scanAt(int p);

    std::optional<int> address(const QString& text) const;
    const levelprobe::LevelRecord& levelRecord(int p) const;
    const rotary::RotaryRecord& rotaryRecord(int p) const;
    report::ConfigReport configReport(int p) const;
    QString absence(int p, bool stopped) const;
    QString familyName() const;
    // The settings a reading is shown in.
    QStringList unitSettings() const;
    static QString identificationText(const QStringList& lines);
    QString reading(int p) const;
    QJsonValue readingJson(int p) const;
    // stdout: a line of text, or one JSON document on one line.
    void out(const QString& text) const;
    void out(const QJsonValue& json) const;
    // stderr: "sdi12: " and the message; gives the status to exit with.
    int fail(const QString& message, int status) const;
    // stderr, on a terminal only: what is under way, on one line that the next overwrites.
    void progress(const QString& text) const;

    const Options& options_;
    platform::PortMap ports_;
    platform::QtSerialPort port_;
    sdilink::Link link_;
    logging::Logger logger_;
    std::optional<session::Sensors> sensors_;
    QStringList notices_;
    QList<int> addresses_;                     // apply's
    std::optional<report::ReadReport> report_; // apply's
};

} // namespace cli
