#pragma once

#include "CalibrationState.h"
#include "LevelRecord.h"
#include "LevelReplies.h"
#include "core/protocol/Family.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace logging {
class Logger;
}
namespace sdilink {
class Link;
}

namespace levelprobe {

// The level probes at addresses 0-9, without a window: what each said (its record), what
// its Unlock and Local Offset flags are meant to be, whether its page is locked, the
// requests that read and change its settings, and the branches that take its replies.
// Views follow the change signals; nothing here reads a control.
class LevelSensors final : public QObject, public protocol::Family {
    Q_OBJECT
public:
    // Tells the person something, with a title (an answer that makes no sense).
    using Notice = std::function<void(const QString& title, const QString& text)>;

    LevelSensors(sdilink::Link& link, logging::Logger& logger, CalibrationState& calibration,
                 QObject* parent = nullptr);

    QString serialNumber(int p) const override { return record(p).serialNumber; }
    bool isRotary() const override { return false; }
    Code dataRequestCode() const override { return Code::Data; }
    Code measureCode() const override { return Code::Measure; }
    bool decodeReply(const sdilink::Transaction& transaction,
                     const protocol::ReplyLine& line) override;
    Code addressChangeCode() const override { return Code::AddressChange; }
    QCoro::Task<> finishAddressChange(int newPage) override;

    void setNotice(Notice notice) { notice_ = std::move(notice); }
    void notify(const QString& title, const QString& text) const;

    LevelRecord& record(int p) { return records_.at(static_cast<size_t>(p)); }
    const LevelRecord& record(int p) const { return records_.at(static_cast<size_t>(p)); }
    // The Unlock and Local Offset flags as the page shows them: the sensor's last answer, or
    // the person's choice since.
    bool unlockTicked(int p) const { return ticks_.at(static_cast<size_t>(p)).unlock; }
    bool localOffsetTicked(int p) const { return ticks_.at(static_cast<size_t>(p)).localOffset; }

    // A field of page p's record was changed by a reply (or a sequence): the views show it,
    // and a flag that changes acts as the page's box does on a change of value.
    void taken(int p, LevelField field);
    // A request that the field's answer fills has gone: the views show the field empty
    // until the answer comes; the record keeps the value answered before.
    void awaitAnswer(int p, LevelField field);
    // Forgets what page p's sensor said (it no longer answers); its logging period stays.
    void forget(int p);
    // Moves the record of the sensor at p (its old address) to q; what the new address must
    // be told of the flags is left for finishAddressChange.
    void moveRecord(int p, int q);
    bool moveFollowUpsPending() const { return !moveFollowUps_.empty(); }

    // Builds the request of `code` for page p, locks the page (unless told not to), marks
    // the record's field the answer will fill as awaiting it, and sends it.
    void send(int p, Code code, const QByteArray& value = {},
              std::optional<LevelField> awaited = std::nullopt, bool lock = true);
    // The query of a code, its field awaiting the answer.
    void query(int p, Code code);

    // Sets from a value, as the page's Set buttons send them.
    void PressUnitsSet(int p, int unitCode);
    void TempUnitsSet(int p, int index);
    void DensityCorrSet(int p, int digit);
    void LocalGravitySet(int p, const QString& text);
    void RangeSet(int p, const QString& text);
    void MaxOverRangeSet(int p, const QString& text);
    void ReverseSet(int p, int digit);
    void LevelSet(int p, const QString& text);
    void SGSet(int p, const QString& text);
    // Sends nothing while the echo guard is up (a flag the scan's answer set).
    void LocalOffsetSet(int p, int digit);
    // The page's boxes: a change of value goes to the sensor.
    void LocalOffsetCheck_Click(int p, bool ticked);
    void UnlockCheck_Click(int p, bool ticked);
    // Answered like a measurement; the sensor may ask for its data later.
    void LevelOffset(int p, const QString& text);
    void AutoZero(int p);
    // Clears the offsets; the reply takes a new reading.
    void ClearOffsets(int p);

    // The calibration and reset sequences' requests.
    void XU1Set(int p, const QString& text);
    // The zero correction (aXANCLV0,v!) and the slope (aXANCLV1,v!).
    void ZeroCalibrationSet(int p, const QString& text);
    void SlopeCalibrationSet(int p, const QString& text);
    void TrimOffSet(int p);
    void TrimOnSet(int p, int digit);
    void XancalonSet(int p);
    // Sends nothing for values the request cannot hold (readings 0-99, interval 0-9999).
    void FilterSet(int p, int readings, int interval);

    // The value sent for a specific gravity: the reciprocal rounded to 6 places, as plain
    // text; empty for a text that is no number greater than zero.
    static std::optional<QString> reciprocalText(const QString& specificGravity);

    // Re-reads the settings that depend on the pressure unit after it was changed, then
    // takes a reading.
    QCoro::Task<> RequeryLevelPage(int p);

    LevelReplies& replies() { return replies_; }
    CalibrationState& calibration() { return calibration_; }
    logging::Logger& logger() const { return logger_; }
    sdilink::Link& link() const { return link_; }

    // When true, the next change of the local-offset flag by an answer sends nothing.
    bool LocalOffsetEchoGuard = false;

Q_SIGNALS:
    void fieldChanged(int p, levelprobe::LevelField field);
    // Every field of the record but the flags changed (forgotten, moved).
    void recordReplaced(int p);
    void flagsChanged(int p);
    // The sensor-list row of p no longer vouches for what it shows.
    void rowCleared(int p);
    void pageLockChanged(int p, bool locked);
    void presenceChanged(int p, bool present);
    void filterAnswered(int p, int readings, int interval, const QString& sampleRate);
    // The sample rate changed: the page's logging periods follow it.
    void sampleRateChanged(int p);
    // The record of p moved to q (an address change).
    void moved(int p, int q);

protected:
    void presenceSet(int p, bool present) override { Q_EMIT presenceChanged(p, present); }
    void lockSet(int p, bool locked) override { Q_EMIT pageLockChanged(p, locked); }

private:
    struct Flags {
        bool unlock = false;
        bool localOffset = false;
    };

    sdilink::Link& link_;
    logging::Logger& logger_;
    CalibrationState& calibration_;
    Notice notice_;
    std::array<LevelRecord, 10> records_;
    std::array<Flags, 10> ticks_{};
    LevelReplies replies_;
    std::vector<void (LevelSensors::*)(int)> moveFollowUps_;

    void sendUnlock(int p);
    void sendLocalOffset(int p);
};

} // namespace levelprobe
