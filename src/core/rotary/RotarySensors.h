#pragma once

#include "RotaryRecord.h"
#include "RotaryReplies.h"
#include "core/protocol/Family.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <array>
#include <optional>

namespace logging {
class Logger;
}
namespace sdilink {
class Link;
}

namespace rotary {

// The rotary encoders at addresses 0-9, without a window: what each said (its record),
// whether its page is locked, the requests that read and change its settings, and the
// branches that take its replies. Views follow the change signals; nothing here reads a
// control.
class RotarySensors final : public QObject, public protocol::Family {
    Q_OBJECT
public:
    RotarySensors(sdilink::Link& link, logging::Logger& logger, QObject* parent = nullptr);

    QString serialNumber(int p) const override { return record(p).serialNumber; }
    bool isRotary() const override { return true; }
    Code dataRequestCode() const override { return Code::RotaryData; }
    Code measureCode() const override { return Code::RotaryMeasure; }
    bool decodeReply(const sdilink::Transaction& transaction,
                     const protocol::ReplyLine& line) override;
    Code addressChangeCode() const override { return Code::RotaryAddressChange; }

    RotaryRecord& record(int p) { return records_.at(static_cast<size_t>(p)); }
    const RotaryRecord& record(int p) const { return records_.at(static_cast<size_t>(p)); }

    // A field of page p's record was changed by a reply: the views show it.
    void taken(int p, RotaryField field) { Q_EMIT fieldChanged(p, field); }
    // A request that the field's answer fills has gone: the views show the field empty
    // until the answer comes; the record keeps the value answered before.
    void awaitAnswer(int p, RotaryField field);
    // Forgets what page p's encoder said (it no longer answers); the page's own settings
    // (maximum range, logging period) stay.
    void forget(int p);
    // Moves the record of the encoder at p (its old address) to q; the logging periods stay
    // with their addresses.
    void moveRecord(int p, int q);

    // Builds the request of `code` for page p, locks the page, marks the record's field the
    // answer will fill as awaiting it, and sends it.
    void send(int p, Code code, const QByteArray& value = {},
              std::optional<RotaryField> awaited = std::nullopt);
    // The query of a code, its field awaiting the answer.
    void query(int p, Code code);
    // Sets from a value, as the page's Set buttons send them.
    void RotaryMeasurementUnitsSet(int p, int index);
    void RotaryDirectionSet(int p, int index);
    void RotaryPulleyCircumSet(int p, const QString& text);
    void RotaryCurrentValueSet(int p, const QString& text);
    void RotarySetZero(int p);

    RotaryReplies& replies() { return replies_; }
    logging::Logger& logger() const { return logger_; }
    sdilink::Link& link() const { return link_; }

Q_SIGNALS:
    void fieldChanged(int p, rotary::RotaryField field);
    // Every field of the record changed (forgotten, moved).
    void recordReplaced(int p);
    // The sensor-list row of p no longer vouches for what it shows.
    void rowCleared(int p);
    void pageLockChanged(int p, bool locked);
    void presenceChanged(int p, bool present);
    // The record of p moved to q (an address change).
    void moved(int p, int q);

protected:
    void presenceSet(int p, bool present) override { Q_EMIT presenceChanged(p, present); }
    void lockSet(int p, bool locked) override { Q_EMIT pageLockChanged(p, locked); }

private:
    sdilink::Link& link_;
    logging::Logger& logger_;
    std::array<RotaryRecord, 10> records_;
    RotaryReplies replies_;
};

} // namespace rotary
