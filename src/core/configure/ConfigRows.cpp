#include "ConfigRows.h"

#include "core/protocol/Numbers.h"
#include "core/report/ConfigReport.h"

namespace configure {

bool sameValue(const QString& a, const QString& b) {
    if (a == b)
        return true;
    const std::optional<double> x = protocol::parseNumber(a);
    const std::optional<double> y = protocol::parseNumber(b);
    return x && y && *x == *y;
}

std::vector<ConfigRow> compareReports(const report::ReadReport& sensor,
                                      const report::ReadReport& other) {
    std::vector<ConfigRow> rows;
    const auto identity = [&rows](const QString& label, const QString& now, const QString& other) {
        ConfigRow row;
        row.label = label;
        row.now = now;
        row.other = other;
        row.reason = QStringLiteral("Identifies the sensor: never applied.");
        rows.push_back(row);
    };
    identity(QStringLiteral("Identification"), sensor.identification.join(QStringLiteral(" / ")),
             other.identification.join(QStringLiteral(" / ")));
    identity(report::kSerialNumberLabel, sensor.serialNumber, other.serialNumber);
    identity(report::kAddressLabel, QString::number(sensor.address),
             QString::number(other.address));
    for (const report::ReportSetting& mine : sensor.settings) {
        ConfigRow row;
        row.label = mine.label;
        row.now = mine.value;
        row.kind = ConfigRow::Kind::Setting;
        row.other = report::settingValue(other, mine.label);
        rows.push_back(row);
    }
    return rows;
}

QString summary(const std::vector<ConfigRow>& rows) {
    int applied = 0, different = 0, failed = 0, notApplicable = 0, notSent = 0;
    for (const ConfigRow& row : rows) {
        applied += row.outcome == ConfigRow::Outcome::Applied ? 1 : 0;
        different += row.outcome == ConfigRow::Outcome::Different ? 1 : 0;
        failed += row.outcome == ConfigRow::Outcome::Failed ? 1 : 0;
        notApplicable += row.outcome == ConfigRow::Outcome::NotApplicable ? 1 : 0;
        notSent += row.outcome == ConfigRow::Outcome::NotSent ? 1 : 0;
    }
    QString text = QStringLiteral("%1 applied, %2 different, %3 failed")
                       .arg(applied)
                       .arg(different)
                       .arg(failed);
    if (notApplicable > 0)
        text += QStringLiteral(", %1 not applicable").arg(notApplicable);
    if (notSent > 0)
        text += QStringLiteral(", %1 not sent").arg(notSent);
    return text;
}

QString outcomeText(const ConfigRow& row) {
    switch (row.outcome) {
    case ConfigRow::Outcome::None:
        return {};
    case ConfigRow::Outcome::Applied:
        return QStringLiteral("applied");
    case ConfigRow::Outcome::Different:
        return QStringLiteral("different: ") + row.detail;
    case ConfigRow::Outcome::Failed:
        return QStringLiteral("failed: ") + row.detail;
    case ConfigRow::Outcome::NotApplicable:
        return QStringLiteral("not applicable: ") + row.reason;
    case ConfigRow::Outcome::NotSent:
        return QStringLiteral("not sent: ") + row.detail;
    }
    return {};
}

} // namespace configure
