#pragma once

#include "core/link/Link.h"

#include <QCoroTask>
#include <QString>
#include <functional>
#include <optional>
#include <span>

namespace levelprobe {

class LevelSensors;

// One step of a calibration or reset sequence: what it writes (for the user) and the sender
// of its request for a page.
struct SequenceStep {
    const char* what;
    std::function<void(int page)> send;
};

// One calibration or reset sequence on a page. While it runs it holds the bus (logging ticks
// and clicks wait for it), its replies do not beep and "Calibrate Mode" cannot be changed; a stale
// update-readings flag and local-offset guard are dropped when it starts. Each step sends
// one request and awaits its answer; after the first unanswered step nothing more is
// sent. At its end the bus is freed, the beep is back, Calibrate_Flag is cleared when the
// sequence set it, the page is unlocked, and then a notice names the step that went
// unanswered, if one did.
class SequenceRun {
public:
    // `calibrating`: Calibrate_Flag is set for the run (no set reply starts a measurement).
    // `title` and `sequence` ("Stage one", "The reset") name it in the failure notice.
    SequenceRun(LevelSensors& sensors, int page, bool calibrating, QString title, QString sequence);
    ~SequenceRun();
    SequenceRun(const SequenceRun&) = delete;
    SequenceRun& operator=(const SequenceRun&) = delete;

    // Sends through `send` and awaits the answer. False, sending nothing, once a step
    // has gone unanswered.
    QCoro::Task<bool> step(const char* what, std::function<void()> send);
    // The steps in order; true when every one was answered.
    QCoro::Task<bool> run(std::span<const SequenceStep> steps);
    bool failed() const { return !failedStep_.isEmpty(); }

    int page() const { return page_; }

private:
    void reportFailure() const;

    LevelSensors& sensors_;
    int page_;
    bool calibrating_;
    QString title_;
    QString sequence_;
    std::optional<sdilink::Link::Sequence> holdsBus_;
    int steps_ = 0;
    int total_ = 0;
    QString failedStep_;
    QString failedRequest_;
    bool notSent_ = false;
    bool lost_ = false;
};

} // namespace levelprobe
