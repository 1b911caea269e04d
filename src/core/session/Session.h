#pragma once

#include "core/configure/ConfigRows.h"
#include "core/configure/SettingsAccess.h"
#include "core/discovery/AddressMove.h"

#include <QCoroTask>
#include <QString>
#include <vector>

namespace logging {
class Logger;
}
namespace protocol {
class Family;
}
namespace sdilink {
class Link;
}

namespace session {

// What became of a set.
struct SetResult {
    enum class Outcome {
        Applied,  // the sensor answered the set
        Refused,  // nothing sent: the value, the setting or the sensor's state does not allow it
        NoAnswer, // sent, and not answered in time
        NotSent,  // the port is closed, or the wait was abandoned
    };
    Outcome outcome = Outcome::NotSent;
    // Refused: the reason; NoAnswer: the request; NotSent: why.
    QString detail;

    bool applied() const { return outcome == Outcome::Applied; }
};

// The one way to talk to the chosen family's sensors by setting name, for the window, the
// command line and scripts: a value is checked by the page's rules and sent with the page's
// requests and their follow-ups (the reading after a set, the re-read after a unit change),
// each in its turn on the bus; what the sensors answer goes into their records.
class Session {
public:
    Session(sdilink::Link& link, protocol::Family& family, configure::SettingsAccess& settings,
            logging::Logger& logger);

    // The label of the setting a name stands for (any letter case, blanks or dashes alike),
    // or empty.
    QString labelFor(QStringView name) const { return settings_.labelFor(name); }
    // Why the value cannot be set at p now, as the page would refuse it; empty when it can.
    QString refusal(int p, const QString& label, const QString& value) const;

    // Sets a setting by name from a text value: refused with the reason (nothing sent), or
    // sent in its turn on the bus, with its follow-ups, and applied once answered.
    QCoro::Task<SetResult> set(int p, QString name, QString value);
    // Reads one setting, or every setting the family applies, into the record; true when
    // every query was answered.
    QCoro::Task<bool> read(int p, QString name);
    QCoro::Task<bool> readAll(int p);
    // Sets and reads back, as Apply Configuration does one row: applied, different (the
    // value read back differs), failed (no answer, the request named) or not applicable
    // (refused, with the reason).
    QCoro::Task<configure::ConfigRow> apply(int p, QString name, QString value);
    // Applies the ticked rows to p in the family's order, in one turn on the bus, then reads
    // each back (configure::applyRows); `stop` ends it before the next request.
    QCoro::Task<> applyAll(int p, std::vector<configure::ConfigRow>& rows,
                           configure::StopReason stop = {});
    // Takes a reading of p in its turn on the bus (the measurement, the wait, the data): it
    // goes into the record and the sensor's log. True when the data came.
    QCoro::Task<bool> measure(int p);
    // Moves the sensor at p to address b, with the probe of b first (discovery::moveAddress).
    QCoro::Task<discovery::AddressMove> changeAddress(int p, int b);

    // The value as the configuration report of the sensor's record gives it.
    QString value(int p, const QString& name) const;

    configure::SettingsAccess& settings() const { return settings_; }

private:
    // Why nothing more goes: the wait was abandoned, the port is closed; empty while it may.
    QString endedReason() const;
    QString notSentReason() const;

    sdilink::Link& link_;
    protocol::Family& family_;
    configure::SettingsAccess& settings_;
    logging::Logger& logger_;
};

} // namespace session
