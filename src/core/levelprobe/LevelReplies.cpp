#include "LevelReplies.h"

#include "LevelSensors.h"
#include "core/link/Link.h"
#include "core/logging/Logger.h"

namespace levelprobe {

using protocol::ReplyLine;

LevelReplies::LevelReplies(LevelSensors& sensors, sdilink::Link& link)
    : ReplySteps(link), sensors_(sensors) {}

void LevelReplies::unlock(int tab) {
    // A follow-up request asked for while the reply was applied (a check box that sends its
    // new value) keeps the page locked until its own reply.
    if (!followUpInFlight())
        sensors_.unlockPage(tab);
}

void LevelReplies::measure(int tab) {
    sensors_.logger().Measure(tab);
}

bool LevelReplies::decode(const sdilink::Transaction& transaction, const ReplyLine& line) {
    const LevelAnswer answer = readLevelAnswer(transaction.code, line);
    if (!answer.known)
        return false;
    apply(transaction.page, transaction.code, answer);
    return true;
}

void LevelReplies::apply(int tab, Code code, const LevelAnswer& a) {
    // The answer goes into the sensor's record, and from there onto its page and list row;
    // then the branch decides what follows.
    if (const std::optional<LevelField> field = sensors_.record(tab).take(code, a))
        sensors_.taken(tab, *field);
    const bool calibrating = sensors_.calibration().Calibrate_Flag;
    switch (code) {
    case Code::AddressChange:
        addressChange(tab, a);
        break;
    case Code::PressUnitsQuery:
    case Code::TempUnitsQuery:
    case Code::DensityCorrQuery:
    case Code::LocalGravityQuery:
    case Code::Identification:
    case Code::RangeQuery:
    case Code::RangeSet:
    case Code::MaxOverRangeQuery:
    case Code::MaxOverRangeSet:
    case Code::ReverseQuery:
    case Code::LevelQuery:
    case Code::UnlockQuery:
    case Code::UnlockSet:
    case Code::SerialNumberQuery:
        beep();
        unlock(tab);
        break;
    case Code::PressUnitsSet:
        beep();
        // The other values change with the unit: the page is read again once this reply is
        // done, before anything else waiting for the bus.
        link_.followWith(QStringLiteral("re-read %1").arg(tab), tab,
                         [this, tab] { sensors_.RequeryLevelPage(tab); });
        break;
    case Code::TempUnitsSet:
    case Code::LocalGravitySet:
        beep();
        measure(tab);
        break;
    case Code::DensityCorrSet:
    case Code::LevelSet:
        beep();
        calibrating ? unlock(tab) : measure(tab);
        break;
    case Code::ReverseSet:
        beep();
        unlock(tab);
        if (!calibrating)
            measure(tab);
        break;
    case Code::Measure:
        measurement(tab, a, false);
        break;
    case Code::Data:
        data(tab, a);
        break;
    case Code::LocalOffsetQuery:
    case Code::LocalOffsetSet:
        localOffset(tab, code, a);
        break;
    case Code::FilterQuery:
    case Code::FilterSet:
        beep();
        Q_EMIT sensors_.filterAnswered(tab, a.readings, a.interval, a.sampleRate);
        if (code == Code::FilterSet)
            Q_EMIT sensors_.sampleRateChanged(tab);
        unlock(tab);
        break;
    case Code::AutoZero:
    case Code::LevelOffset:
        measurement(tab, a, true);
        break;
    case Code::SpecificGravitySet:
        beep();
        if (!calibrating)
            measure(tab);
        break;
    case Code::TrimOff:
        beep();
        if (sensors_.calibration().UpdateReadings_Flag) {
            sensors_.calibration().UpdateReadings_Flag = false;
            measure(tab);
        }
        break;
    default: // the other queries of the scan and the calibration's sets: nothing follows
        break;
    }
}

void LevelReplies::addressChange(int tab, const LevelAnswer& a) {
    beep();
    if (a.oldAddress >= 0 && a.newAddress >= 0 && a.oldAddress != a.newAddress) {
        sensors_.moveRecord(a.oldAddress, a.newAddress);
        // What the move leaves to send keeps the page locked until it is sent.
        if (!sensors_.moveFollowUpsPending())
            unlock(a.newAddress);
    } else {
        unlock(tab);
    }
}

void LevelReplies::measurement(int tab, const LevelAnswer& a, bool offset) {
    const auto t = static_cast<size_t>(tab);
    if (offset) {
        OffsetWait[t] = static_cast<qint16>(a.wait);
        OffsetCount[t] = static_cast<qint16>(a.count);
    } else {
        MeasureWait[t] = static_cast<qint16>(a.wait - 1);
        MeasureCount[t] = static_cast<qint16>(a.count);
    }
    awaitData(tab, a.wait);
}

void LevelReplies::awaitData(int tab, int waitSeconds) {
    // The data are asked for when the sensor's service request comes, or at the latest the
    // command time-out after the announced time, never earlier: asked for early, a sensor
    // gives up its measurement. A wait of 000 announces no wait at all.
    if (waitSeconds > 0)
        link_.awaitServiceRequest(waitSeconds);
    else
        link_.requestDataAfterPause(tab);
}

void LevelReplies::data(int tab, const LevelAnswer& a) {
    // An answer without values has nothing to log.
    if (a.hasValues) {
        const LevelRecord& r = sensors_.record(tab);
        sensors_.logger().AddLogRow(tab, r.pressure, r.pressureUnitText(), r.temperature,
                                    r.temperatureUnitText());
    }
    unlock(tab);
}

void LevelReplies::localOffset(int tab, Code code, const LevelAnswer& a) {
    beep();
    // A flag the box took was sent on by the box, as a click would (unless guarded).
    if (!a.flag || (*a.flag != 0 && *a.flag != 1))
        sensors_.notify(QStringLiteral("SDI12 Message Error."),
                        QStringLiteral("Invalid Local Offset value."));
    if (code == Code::LocalOffsetSet && !sensors_.LocalOffsetEchoGuard &&
        !sensors_.calibration().Calibrate_Flag)
        measure(tab);
    else
        unlock(tab);
    sensors_.LocalOffsetEchoGuard = false;
}

} // namespace levelprobe
