#include "Logger.h"

#include "LogListener.h"
#include "LogModel.h"
#include "core/link/Link.h"
#include "core/platform/SerialPort.h"
#include "core/protocol/Catalogue.h"
#include "core/protocol/Family.h"

#include <algorithm>
#include <utility>

namespace logging {

Logger::Logger(sdilink::Link& link, platform::Clock clock) : link_(link), clock_(std::move(clock)) {
    for (auto& log : logs_)
        log = std::make_unique<LogModel>(LogModel::Layout::LevelProbe);
    QObject::connect(&link_, &sdilink::Link::busFree, &context_, [this] {
        logReadingUnderway_ = false;
        if (std::exchange(unlockWhenFree_, false))
            unlockPagesWithoutWork();
    });
    QObject::connect(
        &link_, &sdilink::Link::busFree, &context_, [this] { sendDueReadings(); },
        Qt::QueuedConnection);
    // A lost port ends the running log; its rows stay.
    QObject::connect(&link_, &sdilink::Link::portLost, &context_, [this] {
        if (state_.loggingPage)
            stopLog(*state_.loggingPage);
        due_.fill(false);
    });
}

Logger::~Logger() = default;

void Logger::setFamily(protocol::Family* family, LogStatusWriter writeLogStatus) {
    family_ = family;
    writeLogStatus_ = std::move(writeLogStatus);
    state_ = {};
}

void Logger::setPeriod(int tab, int seconds) {
    periods_.at(static_cast<size_t>(tab)) = std::max(0, seconds);
}

void Logger::Measure(int tab, int timeoutFactor) {
    if (family_ != nullptr)
        measure(tab, family_->measureCode(), timeoutFactor);
}

QCoro::Task<bool> Logger::takeFirstReading(int tab) {
    if (family_ == nullptr)
        co_return false;
    const bool answered =
        co_await link_.transact([&] { measure(tab, family_->measureCode(), 10); });
    if (answered && writeLogStatus_)
        writeLogStatus_(tab, state_.loggingPage == tab ? QStringLiteral("Logging")
                                                       : QStringLiteral("Idle"));
    co_return answered;
}

void Logger::measure(int tab, sdilink::Code code, int timeoutFactor) {
    sdilink::Transaction t =
        sdilink::Transaction::forPage(tab, code, protocol::Catalogue::request(tab, code));
    t.timeoutFactor = timeoutFactor;
    if (family_ != nullptr)
        family_->lockPage(tab);
    link_.setMeasureAddress(tab);
    link_.transmit(t);
    // On a closed port the link has said so once; a running log stops instead of saying it
    // again every period.
    if (!link_.port().isOpen() && state_.LogActive.at(static_cast<size_t>(tab)))
        stopLog(tab);
}

void Logger::startLog(int tab) {
    const auto i = static_cast<size_t>(tab);
    if (periods_.at(i) > 0) {
        state_.LogTick[i] = 0;
        state_.LogActive[i] = true;
        state_.loggingPage = tab;
        if (writeLogStatus_)
            writeLogStatus_(tab, QStringLiteral("Logging"));
    }
    requestReading(tab);
}

void Logger::requestReading(int tab) {
    due_.at(static_cast<size_t>(tab)) = true;
    sendDueReadings();
}

void Logger::stopLog(int tab) {
    const std::optional<int> wasLogging = state_.loggingPage;
    state_.LogTick.fill(0);
    state_.LogActive.fill(false);
    due_.fill(false);
    state_.loggingPage.reset();
    if (writeLogStatus_) {
        writeLogStatus_(tab, QStringLiteral("Idle"));
        if (wasLogging && *wasLogging != tab)
            writeLogStatus_(*wasLogging, QStringLiteral("Idle"));
    }
    // A log reading waiting for its sensor's service request is given up (a reading of a
    // sequence is left to finish).
    if (logReadingUnderway_ && !link_.inSequence())
        link_.abandonMeasurement();
    // The log kept every page's address, log start and period locked: each page gets them
    // back now, or when the exchange under way has ended.
    if (link_.held())
        unlockWhenFree_ = true;
    else
        unlockPagesWithoutWork();
}

void Logger::unlockPagesWithoutWork() {
    if (family_ == nullptr)
        return;
    for (int page = 0; page <= 9; ++page)
        if (!link_.pageHasWork(page))
            family_->unlockPage(page);
}

void Logger::SecondTimer_Timer() {
    // Periods are counted in ticks: a reading that waits for the bus or a tick that came
    // late changes nothing.
    for (int tab = 0; tab <= 9; ++tab) {
        const auto i = static_cast<size_t>(tab);
        if (!state_.LogActive[i])
            continue;
        ++state_.LogTick[i];
        if (state_.LogTick[i] >= periods_[i]) {
            state_.LogTick[i] = 0;
            if (due_[i] && listener_)
                listener_->logReadingSkipped(tab);
            due_[i] = true;
        }
    }
    sendDueReadings();
}

void Logger::sendDueReadings() {
    for (int tab = 0; tab <= 9; ++tab) {
        const auto i = static_cast<size_t>(tab);
        if (!due_[i])
            continue;
        // One request at a time: the next one waits for the bus to be free again.
        if (link_.busy())
            return;
        due_[i] = false;
        logReadingUnderway_ = state_.LogActive[i];
        if (logReadingUnderway_ && listener_)
            listener_->logReadingSent(tab);
        Measure(tab);
        if (!link_.busy())
            logReadingUnderway_ = false;
    }
}

void Logger::AddLogRow(int tab, const QString& value1, const QString& units1, const QString& value2,
                       const QString& units2) {
    const QDateTime when = clock_();
    log(tab).addRow(when, value1, units1, value2, units2);
    if (listener_)
        listener_->rowAdded(tab, when, value1, units1, value2, units2);
}

void Logger::ClearLogBut_Click(int Index) {
    log(Index).clear();
    if (listener_)
        listener_->logCleared(Index);
}

LogModel& Logger::log(int tab) const {
    return *logs_.at(static_cast<size_t>(tab));
}

void Logger::moveLog(int from, int to) {
    LogModel& source = log(from);
    log(to).appendRowsOf(source);
    source.clear();
    if (listener_)
        listener_->logMoved(from, to);
}

} // namespace logging
