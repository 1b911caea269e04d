#include "Sensor.h"

#include "NumberText.h"

namespace sim {

Sensor::Sensor(char address, const QByteArray& serial) : address_(address), serialNumber_(serial) {}

QByteArray Sensor::plusOne(QByteArrayView text) {
    if (const auto whole = NumberText::parseDigits(text))
        return QByteArray::number(qint64{*whole} + 1);
    if (const auto number = NumberText::parse(text))
        return NumberText::plain(*number + 1);
    return text.toByteArray();
}

QByteArray Sensor::nextEntry(QByteArrayView text, const QList<int>& entries) {
    for (qsizetype i = 0; i < entries.size(); ++i)
        if (text == QByteArray::number(entries.at(i)))
            return QByteArray::number(entries.at((i + 1) % entries.size()));
    return text.toByteArray();
}

QByteArray Sensor::line(QByteArrayView text) const {
    QByteArray result(1, address_);
    result.append(text.data(), text.size());
    return result;
}

Reply Sensor::measurementReply(Micros ready, int count, int countDigits) const {
    // The announced wait is the time rounded up to whole seconds.
    const qint64 seconds = std::min<qint64>(999, (ready.count() + 999'999) / 1'000'000);
    QByteArray text = QByteArray::number(seconds).rightJustified(3, '0');
    text += QByteArray::number(count).rightJustified(countDigits, '0');
    Reply result = reply(text);
    result.waitField = 1;
    result.measuringTime = ready;
    return result;
}

void Sensor::completeMeasurement(Micros time) {
    measured_ = measuredValues(time);
}

std::optional<Reply> Sensor::answer(QByteArrayView body, Micros now) {
    if (body.isEmpty()) // acknowledge active, and the address query
        return reply({});
    if (body == "I") {
        QByteArray id = kSdiVersion;
        id += QByteArray(kCompany).leftJustified(8, ' ', true);
        id += model().leftJustified(6, ' ', true);
        id += firmwareVersion().leftJustified(3, ' ', true);
        id += serialNumber_.left(13);
        return reply(id);
    }
    if (body.size() == 2 && body[0] == 'A') {
        // Answered from the new address; a character that is no address changes nothing.
        if (isValidAddress(body[1]))
            address_ = body[1];
        return reply({});
    }
    if (body == "XSN")
        return reply(serialNumber_);
    if (body.size() == 2 && body[0] == 'D' && body[1] >= '0' && body[1] <= '9') {
        if (body[1] != '0') // every value fits in the first data answer
            return reply({});
        return reply(measured_ ? *measured_ : measuredValues(now));
    }
    std::optional<Reply> result = answerFamily(body, now);
    if (result && result->isMeasurement())
        measured_ = QByteArray();
    return result;
}

} // namespace sim
