#include "SequenceRun.h"

#include "LevelSensors.h"

namespace levelprobe {

SequenceRun::SequenceRun(LevelSensors& sensors, int page, bool calibrating, QString title,
                         QString sequence)
    : sensors_(sensors), page_(page), calibrating_(calibrating), title_(std::move(title)),
      sequence_(std::move(sequence)) {
    holdsBus_.emplace(sensors.link(), true);
    CalibrationState& state = sensors_.calibration();
    state.UpdateReadings_Flag = false;
    sensors_.LocalOffsetEchoGuard = false;
    if (calibrating_)
        state.Calibrate_Flag = true;
}

SequenceRun::~SequenceRun() {
    holdsBus_.reset();
    if (calibrating_)
        sensors_.calibration().Calibrate_Flag = false;
    sensors_.unlockPage(page_);
    reportFailure();
}

QCoro::Task<bool> SequenceRun::step(const char* what, std::function<void()> send) {
    if (failed())
        co_return false;
    ++steps_;
    sdilink::Link& link = sensors_.link();
    if (co_await link.transact(send))
        co_return true;
    if (link.replyStatus() == sdilink::Link::Abandoned) {
        // The window is closing: stop without a word.
        failedStep_ = QStringLiteral("-");
        co_return false;
    }
    failedStep_ = QString::fromLatin1(what);
    failedRequest_ = link.strSent_Command();
    notSent_ = link.replyStatus() == sdilink::Link::NotSent;
    lost_ = link.replyStatus() == sdilink::Link::Lost;
    co_return false;
}

QCoro::Task<bool> SequenceRun::run(std::span<const SequenceStep> steps) {
    total_ = static_cast<int>(steps.size());
    for (const SequenceStep& s : steps)
        if (!co_await step(s.what, [&] { s.send(page_); }))
            co_return false;
    co_return true;
}

void SequenceRun::reportFailure() const {
    if (!failed() || failedStep_ == QLatin1String("-"))
        return;
    const QString at =
        total_ > 0 ? QStringLiteral("step %1 of %2 (%3)").arg(steps_).arg(total_).arg(failedStep_)
                   : QStringLiteral("\"%1\"").arg(failedStep_);
    const QString why =
        lost_ ? QStringLiteral("%1 was the last request written before the connection "
                               "ended; it may have reached the sensor.")
                    .arg(failedRequest_)
        : notSent_ ? QStringLiteral("%1 could not be sent.").arg(failedRequest_)
                   : QStringLiteral("sensor %1 did not answer %2.").arg(page_).arg(failedRequest_);
    sensors_.notify(title_, QStringLiteral("%1 stopped at %2: %3\rThe steps before it were "
                                           "applied; the rest were not sent.")
                                .arg(sequence_, at, why));
}

} // namespace levelprobe
