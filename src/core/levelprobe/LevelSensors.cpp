#include "LevelSensors.h"

#include "core/link/Link.h"
#include "core/logging/Logger.h"
#include "core/protocol/Catalogue.h"
#include "core/protocol/Numbers.h"
#include "core/protocol/ReplyLine.h"

#include <utility>

namespace levelprobe {

using protocol::Catalogue;

LevelSensors::LevelSensors(sdilink::Link& link, logging::Logger& logger,
                           CalibrationState& calibration, QObject* parent)
    : QObject(parent), link_(link), logger_(logger), calibration_(calibration),
      replies_(*this, link) {}

void LevelSensors::notify(const QString& title, const QString& text) const {
    if (notice_)
        notice_(title, text);
}

bool LevelSensors::decodeReply(const sdilink::Transaction& transaction,
                               const protocol::ReplyLine& line) {
    return replies_.decode(transaction, line);
}

void LevelSensors::taken(int p, LevelField field) {
    Q_EMIT fieldChanged(p, field);
    // The flags act on a change of value, as the page's boxes do: an answer that changes
    // one sends it on (the local offset unless guarded or calibrating).
    Flags& flags = ticks_.at(static_cast<size_t>(p));
    const LevelRecord& r = record(p);
    if (field == LevelField::LocalOffset && r.localOffset && *r.localOffset != flags.localOffset) {
        flags.localOffset = *r.localOffset;
        Q_EMIT flagsChanged(p);
        if (!calibration_.Calibrate_Flag)
            sendLocalOffset(p);
    } else if (field == LevelField::Unlock && r.unlock && *r.unlock != flags.unlock) {
        flags.unlock = *r.unlock;
        Q_EMIT flagsChanged(p);
        sendUnlock(p);
    }
}

void LevelSensors::awaitAnswer(int p, LevelField field) {
    record(p).awaitAnswer(field);
    Q_EMIT fieldChanged(p, field);
}

void LevelSensors::forget(int p) {
    LevelRecord& r = record(p);
    const QString period = r.logPeriod;
    r = LevelRecord{};
    r.logPeriod = period;
    Q_EMIT recordReplaced(p);
    Q_EMIT rowCleared(p);
}

void LevelSensors::moveRecord(int p, int q) {
    record(q) = std::exchange(record(p), LevelRecord{});
    // The flags act on a change of value: a ticked local offset moved onto an unticked one
    // sends nothing, an unticked one onto a ticked one sends it, and a changed unlock state
    // is sent to the new address. Those requests go out after the move.
    Flags& from = ticks_.at(static_cast<size_t>(p));
    Flags& to = ticks_.at(static_cast<size_t>(q));
    moveFollowUps_.clear();
    if (to.unlock != from.unlock)
        moveFollowUps_.push_back(&LevelSensors::sendUnlock);
    if (to.localOffset && !from.localOffset)
        moveFollowUps_.push_back(&LevelSensors::sendLocalOffset);
    to = from;
    Q_EMIT recordReplaced(q);
    Q_EMIT recordReplaced(p);
    Q_EMIT flagsChanged(q);
    setPresent(q, true);
    setPresent(p, false);
    Q_EMIT moved(p, q);
    logger_.moveLog(p, q);
}

QCoro::Task<> LevelSensors::finishAddressChange(int q) {
    const auto followUps = std::exchange(moveFollowUps_, {});
    for (const auto send : followUps)
        if (!co_await link_.transact([&] { (this->*send)(q); }))
            co_return; // its time-out has unlocked the page
    // A local offset sent last is followed by a reading, whose end unlocks the page.
    if (!link_.followUpPending())
        unlockPage(q);
}

void LevelSensors::send(int p, Code code, const QByteArray& value,
                        std::optional<LevelField> awaited, bool lock) {
    sdilink::Transaction t =
        sdilink::Transaction::forPage(p, code, Catalogue::request(p, code, value));
    // The re-read of the unit-dependent settings that follows a unit change beeps once at
    // its end.
    t.beep = code != Code::PressUnitsSet;
    if (lock)
        lockPage(p);
    if (awaited)
        awaitAnswer(p, *awaited);
    link_.transmit(t);
}

void LevelSensors::query(int p, Code code) {
    send(p, code, {}, queriedField(code));
}

void LevelSensors::PressUnitsSet(int p, int unitCode) {
    if (const std::optional<QByteArray> code = Catalogue::codeValue(unitCode))
        send(p, Code::PressUnitsSet, *code, LevelField::PressureUnits);
}

void LevelSensors::TempUnitsSet(int p, int index) {
    send(p, Code::TempUnitsSet, Catalogue::digitValue(index), LevelField::TemperatureUnits);
}

void LevelSensors::DensityCorrSet(int p, int digit) {
    send(p, Code::DensityCorrSet, Catalogue::digitValue(digit), LevelField::DensityCorrection);
}

void LevelSensors::LocalGravitySet(int p, const QString& text) {
    send(p, Code::LocalGravitySet, Catalogue::textValue(text), LevelField::LocalGravity);
}

void LevelSensors::RangeSet(int p, const QString& text) {
    send(p, Code::RangeSet, Catalogue::textValue(text), LevelField::Range);
}

void LevelSensors::MaxOverRangeSet(int p, const QString& text) {
    send(p, Code::MaxOverRangeSet, Catalogue::textValue(text), LevelField::MaxOverRange);
}

void LevelSensors::ReverseSet(int p, int digit) {
    send(p, Code::ReverseSet, Catalogue::digitValue(digit));
}

void LevelSensors::LevelSet(int p, const QString& text) {
    send(p, Code::LevelSet, Catalogue::textValue(text));
}

void LevelSensors::SGSet(int p, const QString& text) {
    send(p, Code::SpecificGravitySet, Catalogue::textValue(text), LevelField::SpecificGravity);
}

void LevelSensors::LocalOffsetSet(int p, int digit) {
    if (!LocalOffsetEchoGuard)
        send(p, Code::LocalOffsetSet, Catalogue::digitValue(digit));
    LocalOffsetEchoGuard = false;
}

void LevelSensors::sendLocalOffset(int p) {
    if (!calibration_.Calibrate_Flag)
        LocalOffsetSet(p, localOffsetTicked(p) ? 1 : 0);
}

void LevelSensors::sendUnlock(int p) {
    send(p, Code::UnlockSet, Catalogue::digitValue(unlockTicked(p) ? 1 : 0));
}

void LevelSensors::LocalOffsetCheck_Click(int p, bool ticked) {
    ticks_.at(static_cast<size_t>(p)).localOffset = ticked;
    Q_EMIT flagsChanged(p);
    sendLocalOffset(p);
}

void LevelSensors::UnlockCheck_Click(int p, bool ticked) {
    ticks_.at(static_cast<size_t>(p)).unlock = ticked;
    Q_EMIT flagsChanged(p);
    sendUnlock(p);
}

void LevelSensors::LevelOffset(int p, const QString& text) {
    link_.setMeasureAddress(p);
    send(p, Code::LevelOffset, Catalogue::textValue(text));
}

void LevelSensors::AutoZero(int p) {
    link_.setMeasureAddress(p);
    send(p, Code::AutoZero);
}

void LevelSensors::ClearOffsets(int p) {
    calibration_.UpdateReadings_Flag = true;
    TrimOffSet(p);
}

void LevelSensors::XU1Set(int p, const QString& text) {
    send(p, Code::XU1Set, Catalogue::textValue(text), std::nullopt, false);
}

void LevelSensors::ZeroCalibrationSet(int p, const QString& text) {
    send(p, Code::ZeroCorrectionSet, Catalogue::textValue(text));
}

void LevelSensors::SlopeCalibrationSet(int p, const QString& text) {
    send(p, Code::SlopeSet, Catalogue::textValue(text));
}

void LevelSensors::TrimOffSet(int p) {
    send(p, Code::TrimOff);
}

void LevelSensors::TrimOnSet(int p, int digit) {
    send(p, Code::TrimOn, Catalogue::digitValue(digit), std::nullopt, false);
}

void LevelSensors::XancalonSet(int p) {
    send(p, Code::CalibrationOn);
}

void LevelSensors::FilterSet(int p, int readings, int interval) {
    if (const std::optional<QByteArray> value = Catalogue::filterValue(readings, interval))
        send(p, Code::FilterSet, *value);
}

std::optional<QString> LevelSensors::reciprocalText(const QString& specificGravity) {
    const std::optional<double> sg = protocol::parseNumber(specificGravity);
    if (!sg || *sg <= 0.0)
        return std::nullopt;
    return protocol::plainNumberText(protocol::RoundIt(1.0 / *sg, 6));
}

QCoro::Task<> LevelSensors::RequeryLevelPage(int p) {
    const sdilink::Link::Sequence sequence(link_, true);
    const auto ask = [this, p](Code code) { return link_.transact([=, this] { query(p, code); }); };
    if (!co_await ask(Code::DensityCorrQuery)) {
        if (link_.replyStatus() == sdilink::Link::Abandoned)
            co_return;
        // The page keeps what the sensor said last; its row no longer vouches for it.
        Q_EMIT rowCleared(p);
        link_.FlushInput();
    } else {
        bool answered = true;
        for (const Code code : {Code::LocalGravityQuery, Code::LevelQuery, Code::RangeQuery,
                                Code::MaxOverRangeQuery}) {
            answered = co_await ask(code);
            if (!answered)
                break;
        }
        if (answered)
            co_await logger_.takeFirstReading(p);
    }
    if (link_.replyStatus() != sdilink::Link::Abandoned)
        link_.beep();
}

} // namespace levelprobe
