#include "BusConfig.h"

#include "Bus.h"
#include "LevelProbe.h"
#include "RotaryEncoder.h"

namespace sim {

namespace {

bool setError(QString* error, const QString& text) {
    if (error)
        *error = text;
    return false;
}

bool parseAddress(QStringView text, char* address) {
    if (text.size() != 1 || text[0].unicode() > 127 ||
        !Sensor::isValidAddress(static_cast<char>(text[0].unicode())))
        return false;
    *address = static_cast<char>(text[0].unicode());
    return true;
}

// A setting's mnemonic: up to eight letters and digits ("XRA", "XU0").
bool isMnemonic(const QString& text) {
    if (text.isEmpty() || text.size() > 8)
        return false;
    for (const QChar c : text)
        if (c.unicode() > 127 || !c.isLetterOrNumber())
            return false;
    return true;
}

} // namespace

BusConfig BusConfig::demo() {
    BusConfig config;
    for (const char a : {'1', '3', '5'})
        config.sensors.append({a, Sensor::Family::LevelProbe});
    for (const char a : {'2', '4'})
        config.sensors.append({a, Sensor::Family::RotaryEncoder});
    config.pacing = true;
    return config;
}

bool BusConfig::parseAddresses(const QString& text, QList<char>* addresses, QString* error) {
    // One character each, separated by commas; spaces around them do not count.
    const qsizetype before = addresses->size();
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QString element = part.trimmed();
        if (element.isEmpty())
            continue;
        char address = 0;
        if (!parseAddress(element, &address))
            return setError(error,
                            element.size() > 1
                                ? QStringLiteral("\"%1\" is no SDI-12 address: an address is one "
                                                 "character, and a list separates them with "
                                                 "commas (1,3,5).")
                                      .arg(element)
                                : QStringLiteral("\"%1\" is no SDI-12 address.").arg(element));
        addresses->append(address);
    }
    if (addresses->size() == before)
        return setError(error, QStringLiteral("No address given in \"%1\".").arg(text));
    return true;
}

bool BusConfig::addSensors(Sensor::Family family, const QString& addresses, QString* error) {
    QList<char> list;
    if (!parseAddresses(addresses, &list, error))
        return false;
    for (const char address : list) {
        for (const Entry& entry : sensors)
            if (entry.address == address)
                return setError(
                    error, QStringLiteral("Address %1 is given twice.").arg(QLatin1Char(address)));
        sensors.append({address, family});
    }
    return true;
}

bool BusConfig::addFault(const QString& text, QString* error) {
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    char address = 0;
    if (colon != 1 || !parseAddress(QStringView(text).left(1), &address))
        return setError(error, QStringLiteral("A fault is ADDRESS:KIND, not \"%1\".").arg(text));
    const QString kind = text.mid(colon + 1);
    Faults f = faults.value(address);
    // The milliseconds after "NAME=" in kind.
    const auto millisecondsAfter = [&kind](QLatin1String prefix) -> std::optional<Micros> {
        bool ok = false;
        const int ms = kind.mid(prefix.size()).toInt(&ok);
        if (!ok || ms < 0)
            return std::nullopt;
        return milliseconds(ms);
    };
    const QLatin1String measure("measure=");
    const QLatin1String late("late=");
    const QLatin1String refuse("refuse=");
    const QLatin1String differ("differ=");
    if (kind == QLatin1String("silent")) {
        f.silent = true;
    } else if (kind == QLatin1String("no-cr")) {
        f.noCarriageReturn = true;
    } else if (kind == QLatin1String("noise")) {
        f.noise = Faults::defaultNoise();
    } else if (kind == QLatin1String("garbage")) {
        f.garbage = true;
    } else if (kind == QLatin1String("zero-wait")) {
        f.zeroWait = true;
    } else if (kind == QLatin1String("no-service-request")) {
        f.noServiceRequest = true;
    } else if (kind.startsWith(measure)) {
        f.measuringTime = millisecondsAfter(measure);
        if (!f.measuringTime)
            return setError(error, QStringLiteral("\"%1\" is no measuring time in milliseconds.")
                                       .arg(kind.mid(measure.size())));
    } else if (kind == QLatin1String("late")) {
        f.lateBy = kDefaultLate;
    } else if (kind.startsWith(late)) {
        f.lateBy = millisecondsAfter(late);
        if (!f.lateBy)
            return setError(
                error,
                QStringLiteral("\"%1\" is no delay in milliseconds.").arg(kind.mid(late.size())));
    } else if (kind.startsWith(refuse) || kind.startsWith(differ)) {
        const bool refusing = kind.startsWith(refuse);
        const QString letters = kind.mid((refusing ? refuse : differ).size());
        if (!isMnemonic(letters))
            return setError(error, QStringLiteral("\"%1\" are no command letters of a setting, "
                                                  "such as XRA.")
                                       .arg(letters));
        (refusing ? f.refuseSet : f.differ).append(letters.toLatin1());
    } else {
        return setError(error, QStringLiteral("Unknown fault \"%1\"; known are silent, no-cr, "
                                              "noise, garbage, zero-wait, measure=MS, "
                                              "no-service-request, late[=MS], refuse=LETTERS, "
                                              "differ=LETTERS.")
                                   .arg(kind));
    }
    faults.insert(address, f);
    return true;
}

bool BusConfig::addMeasurementTime(const QString& text, QString* error) {
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    char address = 0;
    bool ok = false;
    const int ms = text.mid(equals + 1).toInt(&ok);
    if (equals != 1 || !parseAddress(QStringView(text).left(1), &address) || !ok || ms < 0)
        return setError(error,
                        QStringLiteral("A measurement time is ADDRESS=MS, not \"%1\".").arg(text));
    measurementTimes.insert(address, milliseconds(ms));
    return true;
}

bool BusConfig::addRepeatMnemonic(const QString& addresses, QString* error) {
    QList<char> list;
    if (!parseAddresses(addresses, &list, error))
        return false;
    repeatMnemonic += list;
    return true;
}

void BusConfig::applyTo(Bus& bus) const {
    bus.setPacing(pacing);
    bus.setResponseDelay(responseDelay);
    for (const Entry& entry : sensors) {
        const auto time = measurementTimes.constFind(entry.address);
        if (entry.family == Sensor::Family::LevelProbe) {
            LevelProbe& probe = bus.addLevelProbe(entry.address);
            if (time != measurementTimes.cend())
                probe.setMeasurementTime(*time);
        } else {
            RotaryEncoder& encoder = bus.addRotaryEncoder(entry.address);
            if (time != measurementTimes.cend())
                encoder.setMeasurementTime(*time);
            encoder.setRepeatMnemonic(repeatMnemonic.contains(entry.address));
        }
    }
    for (auto it = faults.cbegin(); it != faults.cend(); ++it)
        bus.setFaults(it.key(), it.value());
}

} // namespace sim
