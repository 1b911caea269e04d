#pragma once

#include "Reply.h"
#include "Timing.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <optional>

namespace sim {

// One sensor on the bus. It answers the standard requests every SDI-12 sensor knows and
// hands the rest to its family. A request reaches it as the part between the address and
// "!" (the body): "" for "a!", "I", "A5", "XUP12".
//
// A request its family answers with a measurement reply starts a measurement: from then on
// the data request "D0" answers with the address alone until the bus completes the
// measurement at the end of its measuring time; one aborted by a break never completes.
// Before the first measurement "D0" reads the sensor as it is at the request.
class Sensor {
public:
    enum class Family { LevelProbe, RotaryEncoder };

    virtual ~Sensor() = default;

    virtual Family family() const = 0;

    char address() const { return address_; }
    void setAddress(char address) { address_ = address; }
    QByteArray serialNumber() const { return serialNumber_; }
    void setSerialNumber(const QByteArray& serial) { serialNumber_ = serial; }

    // The answer to one request received at time now (the time of its "!"), or nothing when
    // the sensor does not know the request.
    std::optional<Reply> answer(QByteArrayView body, Micros now);

    // The family's setting whose mnemonic starts the request body (e.g. "XRA" for
    // "XRA12.5"); empty when the body names none. What follows the mnemonic is a set's value.
    virtual QByteArray settingMnemonic(QByteArrayView body) const = 0;
    // The value the sensor takes instead of the one sent when its sets differ (see
    // Faults::differ).
    virtual QByteArray differentValue(QByteArrayView mnemonic, QByteArrayView value) const = 0;

    // Ends the measurement in progress with the values of that time; they stay the data
    // answer until the next measurement starts.
    void completeMeasurement(Micros time);

    static bool isValidAddress(char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    }

    static constexpr const char* kCompany = "CORVANE ";
    static constexpr const char* kSdiVersion = "13";

protected:
    Sensor(char address, const QByteArray& serial);

    // Six characters of model and three of version for the identification.
    virtual QByteArray model() const = 0;
    virtual QByteArray firmwareVersion() const = 0;
    virtual std::optional<Reply> answerFamily(QByteArrayView body, Micros now) = 0;
    // What a measurement at this time gives: the values as the data answer carries them,
    // each with its sign.
    virtual QByteArray measuredValues(Micros time) const = 0;

    // The number in text plus 1: a whole number as digits, any other as plain text; the text
    // unchanged when it is no number.
    static QByteArray plusOne(QByteArrayView text);
    // The entry after the one text gives among entries, the last wrapping round to the first;
    // the text unchanged when it is no entry.
    static QByteArray nextEntry(QByteArrayView text, const QList<int>& entries);

    // The address followed by text.
    QByteArray line(QByteArrayView text) const;
    Reply reply(QByteArrayView text) const { return Reply{line(text), -1, Micros{0}}; }
    // The measurement reply "atttn" (or "atttnn" when countDigits is 2) for a result ready
    // after the given time; a non-zero wait is followed by a service request.
    Reply measurementReply(Micros ready, int count, int countDigits) const;

private:
    char address_;
    QByteArray serialNumber_;
    // The data answer's values: none before the first measurement, empty while one is under
    // way or after one was aborted.
    std::optional<QByteArray> measured_;
};

} // namespace sim
