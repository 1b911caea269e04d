#include "RotarySettingTable.h"

#include "RotaryRecord.h"

#include <vector>

namespace rotary {

std::span<const protocol::Setting> settingTable() {
    using sdilink::Code;
    static const std::vector<protocol::Setting> table = [] {
        protocol::Setting units{.label = QStringLiteral("Measurement Units"),
                                .query = Code::RotaryUnitsQuery,
                                .set = Code::RotaryUnitsSet};
        units.entries = unitNames();
        units.what = QStringLiteral("measurement units");
        protocol::Setting circumference{.label = QStringLiteral("Pulley Circumference (mm)"),
                                        .query = Code::RotaryCircumferenceQuery,
                                        .set = Code::RotaryCircumferenceSet};
        circumference.rule = protocol::NumberRule::PlusOrMinus;
        protocol::Setting direction{.label = QStringLiteral("Rotation Direction"),
                                    .query = Code::RotaryDirectionQuery,
                                    .set = Code::RotaryDirectionSet};
        direction.entries = directionNames();
        direction.what = QStringLiteral("rotation directions");
        return std::vector<protocol::Setting>{units, circumference, direction};
    }();
    return table;
}

} // namespace rotary
