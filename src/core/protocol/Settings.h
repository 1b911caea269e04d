#pragma once

#include "core/link/Code.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <span>

namespace protocol {

// Which characters a number box takes, one after another.
enum class NumberRule {
    Unsigned,    // digits and one "."
    Signed,      // and one "-"
    PlusOrMinus, // and one sign, "+" or "-"
};

// The most characters a number box takes: an SDI-12 value's sign, seven digits and point. A
// longer value could not come back in a sensor's answer as it was sent.
inline constexpr qsizetype kNumberBoxLength = 9;

// Whether a number box holding `typed` takes one character more.
bool numberCharacterFits(QChar c, const QString& typed, NumberRule rule);

// A sensor's setting as the configuration report names it: the requests that query and set
// it, and the page's rules for a text value. The page's Set buttons, Apply Configuration
// and scripts check a value by the same rules.
struct Setting {
    QString label{}; // as the report names it
    sdilink::Code query{};
    sdilink::Code set{};
    // A list's names in list order (the request takes the entry's index or unit code); empty
    // for a number.
    QStringList entries{};
    QString what{}; // a list's name in a refusal: "pressure units"
    NumberRule rule = NumberRule::Unsigned;
    bool addsZero = false;    // the box makes ".5" "0.5" when it loses focus
    bool needsUnlock = false; // the sensor takes it only with "Unlock" ticked

    bool isList() const { return !entries.isEmpty(); }
};

// Whether two names stand for the same setting: any letter case, blanks or dashes alike, a
// unit in parentheses left out or not.
bool sameSettingName(QStringView a, QStringView b);

// The setting a name stands for, in any letter case, blanks or dashes alike ("Local Gravity",
// "local-gravity"); null for none.
const Setting* findSetting(std::span<const Setting> table, QStringView name);

// Why the value cannot be set, as the page would refuse it; empty when it can. `unlocked`:
// "Unlock" is ticked for the sensor.
QString refusal(const Setting& setting, const QString& value, bool unlocked);

// A value the setting takes, as it goes: a list's entry index, or a number as its box holds
// it.
std::optional<int> entryIndex(const Setting& setting, const QString& value);
QString sentNumber(const Setting& setting, const QString& value);

} // namespace protocol
