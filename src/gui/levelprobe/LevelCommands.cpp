#include "LevelCommands.h"

#include "LevelFamily.h"
#include "LevelPage.h"
#include "NumberKeyFilter.h"
#include "core/link/Link.h"
#include "core/protocol/Catalogue.h"
#include "core/protocol/Numbers.h"
#include "core/protocol/ReplyLine.h"
#include "gui/platform/Dialogs.h"
#include "gui/widgets/DropDown.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace levelprobe {

using protocol::Catalogue;
using Icon = platform::Dialogs::Icon;

namespace {

const QString kProceed = QStringLiteral("Are you sure you wish to proceed?");

QByteArray text(const QLineEdit* box) {
    return Catalogue::textValue(box->text());
}

} // namespace

LevelCommands::LevelCommands(LevelFamily& family, sdilink::Link& link, platform::Dialogs& dialogs)
    : family_(family), link_(link), dialogs_(dialogs) {}

void LevelCommands::connectPage(int p) {
    LevelPage& pg = family_.page(p);
    const std::pair<QPushButton*, void (LevelCommands::*)(int)> buttons[] = {
        {pg.PressUnitsQueryBut, &LevelCommands::PressUnitsQueryBut_Click},
        {pg.TempUnitsQueryBut, &LevelCommands::TempUnitsQueryBut_Click},
        {pg.DensityCorrQueryBut, &LevelCommands::DensityCorrQueryBut_Click},
        {pg.LocalGravityQueryBut, &LevelCommands::LocalGravityQueryBut_Click},
        {pg.IDQueryBut, &LevelCommands::IDQueryBut_Click},
        {pg.RangeQueryBut, &LevelCommands::RangeQueryBut_Click},
        {pg.MaxOverRangeQueryBut, &LevelCommands::MaxOverRangeQueryBut_Click},
        {pg.ReverseQueryBut, &LevelCommands::ReverseQueryBut_Click},
        {pg.LevelQueryBut, &LevelCommands::LevelQueryBut_Click},
        {pg.ApplyQueryBut, &LevelCommands::ApplyQueryBut_Click},
        {pg.UnlockQueryBut, &LevelCommands::UnlockQueryBut_Click},
        {pg.PressUnitsBut, &LevelCommands::PressUnitsBut_Click},
        {pg.TempUnitsBut, &LevelCommands::TempUnitsBut_Click},
        {pg.DensityCorrBut, &LevelCommands::DensityCorrBut_Click},
        {pg.LocalGravityBut, &LevelCommands::LocalGravityBut_Click},
        {pg.RangeBut, &LevelCommands::RangeBut_Click},
        {pg.MaxRangeBut, &LevelCommands::MaxRangeBut_Click},
        {pg.ReverseBut, &LevelCommands::ReverseBut_Click},
        {pg.LevelBut, &LevelCommands::LevelBut_Click},
        {pg.SGBut, &LevelCommands::SGBut_Click},
        {pg.LevelOffsetBut, &LevelCommands::LevelOffsetBut_Click},
        {pg.AutoZeroBut, &LevelCommands::AutoZeroBut_Click},
        {pg.ClearOffsetsBut, &LevelCommands::ClearOffsetsBut_Click},
    };
    for (const auto& [button, handler] : buttons)
        QObject::connect(button, &QPushButton::clicked, button,
                         [this, p, handler = handler] { (this->*handler)(p); });
    // A check box acts on every change of its value, whether clicked or set by the program.
    QObject::connect(pg.LocalOffsetCheck, &QCheckBox::toggled, pg.LocalOffsetCheck,
                     [this, p] { LocalOffsetCheck_Click(p); });
    QObject::connect(pg.UnlockCheck, &QCheckBox::toggled, pg.UnlockCheck,
                     [this, p] { UnlockCheck_Click(p); });

    using F = NumberKeyFilter;
    const auto beep = [this] { link_.beep(); };
    F::install(pg.RangeText, F::Sign::Unsigned, F::LeadingDot::Keep, beep);
    F::install(pg.MaxOverRangeText, F::Sign::Unsigned, F::LeadingDot::Keep, beep);
    F::install(pg.LocalGravityText, F::Sign::Unsigned, F::LeadingDot::AddZero, beep);
    F::install(pg.SGText, F::Sign::Signed, F::LeadingDot::Keep, beep);
    F::install(pg.LevelText, F::Sign::Signed, F::LeadingDot::AddZero, beep);
    F::install(pg.LevelOffsetText, F::Sign::Signed, F::LeadingDot::Keep, beep);
}

void LevelCommands::send(int p, Code code, const QByteArray& value,
                         std::optional<LevelField> cleared, bool lock) {
    sdilink::Transaction t =
        sdilink::Transaction::forPage(p, code, Catalogue::request(p, code, value));
    // The re-read of the unit-dependent settings that follows a unit change beeps once at
    // its end.
    t.beep = code != Code::PressUnitsSet;
    if (lock)
        family_.LockLevelPage(p);
    if (cleared)
        family_.clearField(p, *cleared);
    link_.transmit(t);
}

void LevelCommands::query(int p, Code code) {
    switch (code) {
    case Code::PressUnitsQuery:
        return PressUnitsQueryBut_Click(p);
    case Code::TempUnitsQuery:
        return TempUnitsQueryBut_Click(p);
    case Code::DensityCorrQuery:
        return DensityCorrQueryBut_Click(p);
    case Code::LocalGravityQuery:
        return LocalGravityQueryBut_Click(p);
    case Code::RangeQuery:
        return RangeQueryBut_Click(p);
    case Code::MaxOverRangeQuery:
        return MaxOverRangeQueryBut_Click(p);
    case Code::LevelQuery:
        return LevelQueryBut_Click(p);
    default:
        return send(p, code);
    }
}

void LevelCommands::PressUnitsQueryBut_Click(int p) {
    send(p, Code::PressUnitsQuery, {}, LevelField::PressureUnits);
}
void LevelCommands::TempUnitsQueryBut_Click(int p) {
    send(p, Code::TempUnitsQuery, {}, LevelField::TemperatureUnits);
}
void LevelCommands::DensityCorrQueryBut_Click(int p) {
    send(p, Code::DensityCorrQuery, {}, LevelField::DensityCorrection);
}
void LevelCommands::LocalGravityQueryBut_Click(int p) {
    send(p, Code::LocalGravityQuery, {}, LevelField::LocalGravity);
}
void LevelCommands::IDQueryBut_Click(int p) {
    send(p, Code::Identification, {}, LevelField::Identification);
}
void LevelCommands::RangeQueryBut_Click(int p) {
    send(p, Code::RangeQuery, {}, LevelField::Range);
}
void LevelCommands::MaxOverRangeQueryBut_Click(int p) {
    send(p, Code::MaxOverRangeQuery, {}, LevelField::MaxOverRange);
}
void LevelCommands::ReverseQueryBut_Click(int p) {
    send(p, Code::ReverseQuery);
}
void LevelCommands::LevelQueryBut_Click(int p) {
    send(p, Code::LevelQuery, {}, LevelField::LocalLevel);
}
void LevelCommands::ApplyQueryBut_Click(int p) {
    send(p, Code::LocalOffsetQuery);
}
void LevelCommands::UnlockQueryBut_Click(int p) {
    send(p, Code::UnlockQuery);
}
void LevelCommands::SerialNumberQuery(int p) {
    send(p, Code::SerialNumberQuery);
}
void LevelCommands::SGQuery(int p) {
    send(p, Code::SpecificGravityQuery);
}
void LevelCommands::ZeroCalibrationQuery(int p) {
    send(p, Code::ZeroCorrectionQuery);
}
void LevelCommands::SlopeCalibrationQuery(int p) {
    send(p, Code::SlopeQuery);
}
void LevelCommands::FilterQuery(int p) {
    send(p, Code::FilterQuery);
}

std::optional<int> LevelCommands::selection(int index, const QString& title, const QString& what) {
    if (index >= 0)
        return index;
    dialogs_.messageBox(title, QStringLiteral("Please select %1 from the list.").arg(what),
                        Icon::Exclamation);
    return std::nullopt;
}

void LevelCommands::PressUnitsBut_Click(int p) {
    widgets::DropDown* units = family_.page(p).PressUnitsCombo;
    const QString title = QStringLiteral("Set Pressure Units.");
    if (!selection(units->currentIndex(), title, QStringLiteral("the pressure units")))
        return;
    if (!Catalogue::codeValue(units->selectedItemCode())) {
        dialogs_.messageBox(title,
                            QStringLiteral("The selected pressure unit has no code the sensor "
                                           "understands."),
                            Icon::Exclamation);
        return;
    }
    PressUnitsSet(p, units->selectedItemCode());
}

void LevelCommands::PressUnitsSet(int p, int unitCode) {
    if (const std::optional<QByteArray> code = Catalogue::codeValue(unitCode))
        send(p, Code::PressUnitsSet, *code, LevelField::PressureUnits);
}

void LevelCommands::TempUnitsBut_Click(int p) {
    widgets::DropDown* units = family_.page(p).TempUnitsCombo;
    if (const auto index =
            selection(units->currentIndex(), QStringLiteral("Set Temperature Units."),
                      QStringLiteral("the temperature units")))
        TempUnitsSet(p, *index);
}

void LevelCommands::TempUnitsSet(int p, int index) {
    send(p, Code::TempUnitsSet, Catalogue::digitValue(index), LevelField::TemperatureUnits);
}

void LevelCommands::DensityCorrBut_Click(int p) {
    if (const auto index = selection(family_.page(p).DensityCorrCombo->currentIndex(),
                                     QStringLiteral("Set Density Correction."),
                                     QStringLiteral("the density correction")))
        DensityCorrSet(p, *index);
}

void LevelCommands::DensityCorrSet(int p, int digit) {
    send(p, Code::DensityCorrSet, Catalogue::digitValue(digit), LevelField::DensityCorrection);
}

void LevelCommands::LocalGravityBut_Click(int p) {
    LocalGravitySet(p, family_.page(p).LocalGravityText->text());
}

void LevelCommands::LocalGravitySet(int p, const QString& value) {
    send(p, Code::LocalGravitySet, Catalogue::textValue(value), LevelField::LocalGravity);
}

void LevelCommands::lockWarning(int p, const QString& title, const QString& what) {
    if (family_.page(p).UnlockCheck->isChecked())
        return;
    // The sensor refuses the value while locked and answers with the one it holds; the
    // request still goes, so the page shows what the sensor has.
    dialogs_.messageBox(title,
                        QStringLiteral("Unable to set %1 whilst sensor is locked.\r"
                                       "Please unlock sensor and try again.")
                            .arg(what),
                        Icon::Exclamation);
}

void LevelCommands::RangeBut_Click(int p) {
    lockWarning(p, QStringLiteral("Set Range Value."), QStringLiteral("range value"));
    RangeSet(p, family_.page(p).RangeText->text());
}

void LevelCommands::RangeSet(int p, const QString& value) {
    send(p, Code::RangeSet, Catalogue::textValue(value), LevelField::Range);
}

void LevelCommands::MaxRangeBut_Click(int p) {
    lockWarning(p, QStringLiteral("Set Maximum Range Value."),
                QStringLiteral("maximum range value"));
    MaxOverRangeSet(p, family_.page(p).MaxOverRangeText->text());
}

void LevelCommands::MaxOverRangeSet(int p, const QString& value) {
    send(p, Code::MaxOverRangeSet, Catalogue::textValue(value), LevelField::MaxOverRange);
}

void LevelCommands::ReverseBut_Click(int p) {
    if (const auto index =
            selection(family_.page(p).ReverseCombo->currentIndex(),
                      QStringLiteral("Set Reverse Output."), QStringLiteral("the reverse output")))
        ReverseSet(p, *index);
}

void LevelCommands::ReverseSet(int p, int digit) {
    send(p, Code::ReverseSet, Catalogue::digitValue(digit));
}

void LevelCommands::LevelBut_Click(int p) {
    LevelSet(p, family_.page(p).LevelText->text());
}

void LevelCommands::LevelSet(int p, const QString& value) {
    send(p, Code::LevelSet, Catalogue::textValue(value));
}

std::optional<QString> LevelCommands::reciprocalText(const QString& specificGravity) {
    const std::optional<double> sg = protocol::parseNumber(specificGravity);
    if (!sg || *sg <= 0.0)
        return std::nullopt;
    return protocol::plainNumberText(protocol::RoundIt(1.0 / *sg, 6));
}

void LevelCommands::SGBut_Click(int p) {
    const std::optional<QString> value = reciprocalText(family_.page(p).SGText->text());
    if (!value) {
        dialogs_.messageBox(QStringLiteral("Set Specific Gravity."),
                            QStringLiteral("Please enter a specific gravity greater than zero."),
                            Icon::Exclamation);
        return;
    }
    SGSet(p, *value);
}

void LevelCommands::SGSet(int p, const QString& value) {
    send(p, Code::SpecificGravitySet, Catalogue::textValue(value), LevelField::SpecificGravity);
}

void LevelCommands::LevelOffsetBut_Click(int p) {
    if (!dialogs_.confirm(QStringLiteral("Level Offset Function."), kProceed))
        return;
    // The sensor answers like a measurement and may ask for its data later.
    link_.setMeasureAddress(p);
    send(p, Code::LevelOffset, text(family_.page(p).LevelOffsetText));
}

void LevelCommands::AutoZeroBut_Click(int p) {
    if (!dialogs_.confirm(QStringLiteral("Auto Zero Function."), kProceed))
        return;
    // Answered like a measurement, as the level offset is.
    link_.setMeasureAddress(p);
    send(p, Code::AutoZero);
}

void LevelCommands::ClearOffsetsBut_Click(int p) {
    if (!dialogs_.confirm(QStringLiteral("Clear Offsets."), kProceed))
        return;
    // The reply takes a new reading.
    family_.calibration().UpdateReadings_Flag = true;
    TrimOffSet(p);
}

void LevelCommands::LocalOffsetCheck_Click(int p) {
    if (family_.calibration().Calibrate_Flag)
        return;
    LocalOffsetSet(p, family_.page(p).LocalOffsetCheck->isChecked() ? 1 : 0);
}

void LevelCommands::LocalOffsetSet(int p, int digit) {
    if (!family_.LocalOffsetEchoGuard)
        send(p, Code::LocalOffsetSet, Catalogue::digitValue(digit));
    family_.LocalOffsetEchoGuard = false;
}

void LevelCommands::UnlockCheck_Click(int p) {
    send(p, Code::UnlockSet,
         Catalogue::digitValue(family_.page(p).UnlockCheck->isChecked() ? 1 : 0));
}

void LevelCommands::XU1Set(int p, const QString& value) {
    send(p, Code::XU1Set, Catalogue::textValue(value), std::nullopt, false);
}

void LevelCommands::ZeroCalibrationSet(int p, const QString& value) {
    send(p, Code::ZeroCorrectionSet, Catalogue::textValue(value));
}

void LevelCommands::SlopeCalibrationSet(int p, const QString& value) {
    send(p, Code::SlopeSet, Catalogue::textValue(value));
}

void LevelCommands::TrimOffSet(int p) {
    send(p, Code::TrimOff);
}

void LevelCommands::TrimOnSet(int p, int digit) {
    send(p, Code::TrimOn, Catalogue::digitValue(digit), std::nullopt, false);
}

void LevelCommands::XancalonSet(int p) {
    send(p, Code::CalibrationOn);
}

void LevelCommands::FilterSet(int p, int readings, int interval) {
    if (const std::optional<QByteArray> value = Catalogue::filterValue(readings, interval))
        send(p, Code::FilterSet, *value);
}

} // namespace levelprobe
