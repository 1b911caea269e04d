#include "RotaryReplies.h"

#include "RotarySensors.h"
#include "core/link/Link.h"
#include "core/logging/Logger.h"

namespace rotary {

RotaryReplies::RotaryReplies(RotarySensors& sensors, sdilink::Link& link)
    : ReplySteps(link), sensors_(sensors) {}

void RotaryReplies::unlock(int tab) {
    // Never while a request this reply started is still out.
    if (!followUpInFlight())
        sensors_.unlockPage(tab);
}

void RotaryReplies::measure(int tab) {
    sensors_.logger().Measure(tab);
}

bool RotaryReplies::decode(const sdilink::Transaction& transaction,
                           const protocol::ReplyLine& line) {
    const RotaryAnswer answer = readRotaryAnswer(transaction.code, line);
    if (!answer.known)
        return false;
    apply(transaction.page, transaction.code, answer);
    return true;
}

void RotaryReplies::apply(int tab, Code code, const RotaryAnswer& a) {
    // The answer goes into the encoder's record, and from there onto its page and list row;
    // then the branch decides what follows.
    if (const std::optional<RotaryField> field = sensors_.record(tab).take(code, a))
        sensors_.taken(tab, *field);
    switch (code) {
    case Code::RotaryAddressChange:
        beep();
        if (a.oldAddress >= 0 && a.newAddress >= 0 && a.oldAddress != a.newAddress) {
            sensors_.moveRecord(a.oldAddress, a.newAddress);
            unlock(a.newAddress);
        } else {
            unlock(tab);
        }
        break;
    case Code::RotaryUnitsQuery:
    case Code::RotaryCircumferenceQuery:
    case Code::RotaryDirectionQuery:
    case Code::RotaryCountsQuery:
    case Code::RotaryCurrentValueQuery:
    case Code::RotaryIdentification:
    case Code::RotarySerialNumberQuery:
        beep();
        unlock(tab);
        break;
    case Code::RotaryUnitsSet:
    case Code::RotaryCircumferenceSet:
    case Code::RotaryDirectionSet:
    case Code::RotaryCurrentValueSet:
    case Code::RotarySetZero:
        beep();
        measure(tab);
        break;
    case Code::RotaryMeasure: {
        const auto t = static_cast<size_t>(tab);
        MeasureWait[t] = static_cast<qint16>(a.wait);
        MeasureCount[t] = static_cast<qint16>(a.count);
        // A concurrent measurement: the encoder sends no service request of its own, so the
        // data is asked for when the announced time has passed (or at once), or earlier
        // should a service request come all the same.
        if (a.wait != 0)
            link_.awaitServiceRequestWithin(a.wait * 1000);
        else
            link_.sendDataRequest(tab);
        break;
    }
    case Code::RotaryData:
        if (!a.text.trimmed().isEmpty()) {
            const RotaryRecord& r = sensors_.record(tab);
            sensors_.logger().AddLogRow(tab, r.currentValue, r.unitsText());
        }
        unlock(tab);
        break;
    default:
        return;
    }
}

} // namespace rotary
