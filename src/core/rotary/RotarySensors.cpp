#include "RotarySensors.h"

#include "core/link/Link.h"
#include "core/logging/Logger.h"
#include "core/protocol/Catalogue.h"

#include <utility>

namespace rotary {

using protocol::Catalogue;

RotarySensors::RotarySensors(sdilink::Link& link, logging::Logger& logger, QObject* parent)
    : QObject(parent), link_(link), logger_(logger), replies_(*this, link) {}

bool RotarySensors::decodeReply(const sdilink::Transaction& transaction,
                                const protocol::ReplyLine& line) {
    return replies_.decode(transaction, line);
}

void RotarySensors::awaitAnswer(int p, RotaryField field) {
    record(p).awaitAnswer(field);
    Q_EMIT fieldChanged(p, field);
}

void RotarySensors::forget(int p) {
    RotaryRecord& r = record(p);
    RotaryRecord kept;
    kept.maxRange = r.maxRange;
    kept.logPeriod = r.logPeriod;
    r = kept;
    Q_EMIT recordReplaced(p);
    Q_EMIT rowCleared(p);
}

void RotarySensors::moveRecord(int p, int q) {
    const QString periods[] = {record(p).logPeriod, record(q).logPeriod};
    record(q) = std::exchange(record(p), RotaryRecord{});
    record(p).logPeriod = periods[0];
    record(q).logPeriod = periods[1];
    Q_EMIT recordReplaced(q);
    Q_EMIT recordReplaced(p);
    setPresent(q, true);
    setPresent(p, false);
    Q_EMIT moved(p, q);
    logger_.moveLog(p, q);
}

void RotarySensors::send(int p, Code code, const QByteArray& value,
                         std::optional<RotaryField> awaited) {
    const sdilink::Transaction t =
        sdilink::Transaction::forPage(p, code, Catalogue::request(p, code, value));
    lockPage(p);
    if (awaited)
        awaitAnswer(p, *awaited);
    link_.transmit(t);
}

void RotarySensors::query(int p, Code code) {
    send(p, code, {}, queriedField(code));
}

void RotarySensors::RotaryMeasurementUnitsSet(int p, int index) {
    send(p, Code::RotaryUnitsSet, Catalogue::digitValue(index), RotaryField::Units);
}

void RotarySensors::RotaryDirectionSet(int p, int index) {
    send(p, Code::RotaryDirectionSet, Catalogue::digitValue(index), RotaryField::Direction);
}

void RotarySensors::RotaryPulleyCircumSet(int p, const QString& text) {
    send(p, Code::RotaryCircumferenceSet, Catalogue::textValue(text));
}

void RotarySensors::RotaryCurrentValueSet(int p, const QString& text) {
    send(p, Code::RotaryCurrentValueSet, Catalogue::textValue(text));
}

void RotarySensors::RotarySetZero(int p) {
    send(p, Code::RotarySetZero);
}

} // namespace rotary
