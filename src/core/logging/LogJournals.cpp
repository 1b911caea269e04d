#include "LogJournals.h"

#include "JournalDisk.h"
#include "JournalFormat.h"

namespace logging {

LogJournals::LogJournals(JournalDisk& disk, QString folder, platform::Clock clock,
                         SensorOf sensorOf, QObject* parent)
    : QObject(parent), disk_(disk), folder_(std::move(folder)), clock_(std::move(clock)),
      sensorOf_(std::move(sensorOf)) {
    connect(&disk_, &JournalDisk::opened, this, [this](quint64 journal, const QString& path) {
        // Unless it has ended meanwhile.
        for (const Page& p : pages_)
            if (p.active == journal || std::count(p.attached.begin(), p.attached.end(), journal))
                paths_.insert(journal, path);
    });
    connect(&disk_, &JournalDisk::failed, this, &LogJournals::diskFailed);
}

LogJournals::~LogJournals() {
    for (Page& p : pages_)
        end(p, "exit");
}

void LogJournals::watch(sdilink::Link& link, const Logger& logger) {
    state_ = &logger.state();
    missedReadings_ = std::make_unique<MissedReadings>(
        link, logger.state(),
        [this](int tab, const QString& reason) { readingMissed(tab, reason); });
}

Logger::LogStatusWriter LogJournals::statusWriter(Logger::LogStatusWriter show) {
    show_ = std::move(show);
    return [this](int tab, const QString& text) { show_(tab, statusText(tab, text)); };
}

QString LogJournals::statusText(int tab, const QString& text) const {
    const int n = missed(tab);
    return n > 0 && text == QLatin1String("Logging") ? QStringLiteral("Logging (%1 missed)").arg(n)
                                                     : text;
}

bool LogJournals::allSaved() const {
    return std::none_of(pages_.begin(), pages_.end(), [](const Page& p) { return p.failed; });
}

QList<int> LogJournals::unsavedPages() const {
    QList<int> pages;
    for (int tab = 0; tab < static_cast<int>(pages_.size()); ++tab)
        if (page(tab).failed)
            pages << tab;
    return pages;
}

void LogJournals::rowAdded(int tab, const QDateTime& when, const QString& value1,
                           const QString& units1, const QString& value2, const QString& units2) {
    if (missedReadings_)
        missedReadings_->rowAdded(tab);
    Page& p = page(tab);
    if (p.failed)
        return;
    if (p.active == 0)
        open(tab, when, units1, units2);
    QByteArray line;
    line.reserve(96);
    journal::appendReading(line, when, p.rotary, value1, units1, value2, units2);
    disk_.append(p.active, line);
}

void LogJournals::open(int tab, const QDateTime& when, const QString& units1,
                       const QString& units2) {
    Page& p = page(tab);
    const Sensor sensor = sensorOf_ ? sensorOf_(tab) : Sensor{};
    p.rotary = sensor.rotary;
    p.active = ++lastJournal_;
    QByteArray header = journal::headerLines(
        {sensor.rotary, tab, sensor.serial, units1, units2, sensor.port, when});
    for (const QByteArray& line : p.early)
        header += line;
    p.early.clear();
    const QString name = when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss_")) +
                         (sensor.rotary ? QStringLiteral("rotary") : QStringLiteral("level")) +
                         QString::number(tab);
    disk_.open(p.active, folder_, name, header);
}

void LogJournals::end(Page& p, QByteArrayView why) {
    const QByteArray last = journal::finishedLine(clock_(), why);
    if (p.active != 0) {
        disk_.close(p.active, last);
        paths_.remove(p.active);
    }
    for (quint64 journal : p.attached) {
        disk_.close(journal, last);
        paths_.remove(journal);
    }
    p.active = 0;
    p.attached.clear();
    p.early.clear();
}

void LogJournals::logCleared(int tab) {
    Page& p = page(tab);
    end(p, "cleared");
    p.missed = 0;
    setFailed(p, false);
    if (state_ != nullptr && state_->LogActive.at(static_cast<size_t>(tab)))
        showStatus(tab);
}

void LogJournals::logMoved(int from, int to) {
    Page& source = page(from);
    Page& target = page(to);
    // The moved sensor's journal goes on; one the new page had is kept with the log.
    if (source.active != 0) {
        disk_.append(source.active, journal::movedLine(clock_(), from, to));
        if (target.active != 0)
            target.attached.push_back(target.active);
        target.active = source.active;
        target.rotary = source.rotary;
    }
    target.attached.insert(target.attached.end(), source.attached.begin(), source.attached.end());
    target.missed += source.missed;
    for (QByteArray& line : source.early) {
        if (target.active != 0)
            disk_.append(target.active, line);
        else
            target.early.push_back(std::move(line));
    }
    const bool failed = source.failed || target.failed;
    source = Page{};
    target.failed = failed;
}

void LogJournals::logReadingSent(int tab) {
    if (missedReadings_)
        missedReadings_->readingSent(tab);
}

void LogJournals::logReadingSkipped(int tab) {
    if (missedReadings_)
        missedReadings_->readingSkipped(tab);
}

void LogJournals::readingMissed(int tab, const QString& reason) {
    Page& p = page(tab);
    ++p.missed;
    const QByteArray line = journal::missedLine(clock_(), reason);
    if (p.active != 0)
        disk_.append(p.active, line);
    else if (!p.failed && p.early.size() < kEarly)
        p.early.push_back(line);
    showStatus(tab);
}

void LogJournals::showStatus(int tab) {
    if (show_)
        show_(tab, statusText(tab, QStringLiteral("Logging")));
}

void LogJournals::diskFailed(quint64 journal, const QString& folder, const QString& reason) {
    for (Page& p : pages_) {
        if (p.active == journal || std::erase(p.attached, journal) > 0) {
            if (p.active == journal)
                p.active = 0;
            setFailed(p, true);
        }
    }
    paths_.remove(journal);
    Q_EMIT writeFailed(folder.isEmpty() ? folder_ : folder, reason);
}

void LogJournals::setFailed(Page& p, bool failed) {
    p.failed = failed;
    if (allSaved() != allSaved_) {
        allSaved_ = !allSaved_;
        Q_EMIT allSavedChanged(allSaved_);
    }
}

} // namespace logging
