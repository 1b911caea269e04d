#include "LevelSettingTable.h"

#include "LevelRecord.h"
#include "PressureUnits.h"

#include <vector>

namespace levelprobe {

namespace {

using protocol::NumberRule;
using protocol::Setting;
using sdilink::Code;

QStringList pressureUnitNames() {
    QStringList names;
    for (const PressureUnit& unit : pressureUnits())
        names << QString::fromLatin1(unit.text);
    return names;
}

Setting list(const char* label, Code query, Code set, QStringList entries, const char* what) {
    Setting s{.label = QLatin1String(label), .query = query, .set = set};
    s.entries = std::move(entries);
    s.what = QLatin1String(what);
    return s;
}

Setting number(const char* label, Code query, Code set, NumberRule rule, bool addsZero,
               bool needsUnlock) {
    Setting s{.label = QLatin1String(label), .query = query, .set = set};
    s.rule = rule;
    s.addsZero = addsZero;
    s.needsUnlock = needsUnlock;
    return s;
}

} // namespace

std::span<const Setting> settingTable() {
    static const std::vector<Setting> table{
        list("Pressure Units", Code::PressUnitsQuery, Code::PressUnitsSet, pressureUnitNames(),
             "pressure units"),
        list("Temperature Units", Code::TempUnitsQuery, Code::TempUnitsSet, temperatureUnitNames(),
             "temperature units"),
        list("Density Correction", Code::DensityCorrQuery, Code::DensityCorrSet,
             densityCorrectionNames(), "density corrections"),
        number("Local Gravity", Code::LocalGravityQuery, Code::LocalGravitySet,
               NumberRule::Unsigned, true, false),
        list("Reverse", Code::ReverseQuery, Code::ReverseSet, reverseNames(), "reverse settings"),
        number("Range", Code::RangeQuery, Code::RangeSet, NumberRule::Unsigned, false, true),
        number("Maximium Over Range", Code::MaxOverRangeQuery, Code::MaxOverRangeSet,
               NumberRule::Unsigned, false, true),
        number("Local Level", Code::LevelQuery, Code::LevelSet, NumberRule::Signed, true, false),
    };
    return table;
}

} // namespace levelprobe
