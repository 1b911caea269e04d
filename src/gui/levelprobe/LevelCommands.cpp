#include "LevelCommands.h"

#include "LevelFamily.h"
#include "LevelPage.h"
#include "NumberKeyFilter.h"
#include "core/levelprobe/LevelSensors.h"
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

LevelSensors& LevelCommands::sensors() const {
    return family_.sensors();
}

void LevelCommands::PressUnitsQueryBut_Click(int p) {
    sensors().query(p, Code::PressUnitsQuery);
}
void LevelCommands::TempUnitsQueryBut_Click(int p) {
    sensors().query(p, Code::TempUnitsQuery);
}
void LevelCommands::DensityCorrQueryBut_Click(int p) {
    sensors().query(p, Code::DensityCorrQuery);
}
void LevelCommands::LocalGravityQueryBut_Click(int p) {
    sensors().query(p, Code::LocalGravityQuery);
}
void LevelCommands::IDQueryBut_Click(int p) {
    sensors().query(p, Code::Identification);
}
void LevelCommands::RangeQueryBut_Click(int p) {
    sensors().query(p, Code::RangeQuery);
}
void LevelCommands::MaxOverRangeQueryBut_Click(int p) {
    sensors().query(p, Code::MaxOverRangeQuery);
}
void LevelCommands::ReverseQueryBut_Click(int p) {
    sensors().query(p, Code::ReverseQuery);
}
void LevelCommands::LevelQueryBut_Click(int p) {
    sensors().query(p, Code::LevelQuery);
}
void LevelCommands::ApplyQueryBut_Click(int p) {
    sensors().query(p, Code::LocalOffsetQuery);
}
void LevelCommands::UnlockQueryBut_Click(int p) {
    sensors().query(p, Code::UnlockQuery);
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
    sensors().PressUnitsSet(p, units->selectedItemCode());
}

void LevelCommands::TempUnitsBut_Click(int p) {
    widgets::DropDown* units = family_.page(p).TempUnitsCombo;
    if (const auto index =
            selection(units->currentIndex(), QStringLiteral("Set Temperature Units."),
                      QStringLiteral("the temperature units")))
        sensors().TempUnitsSet(p, *index);
}

void LevelCommands::DensityCorrBut_Click(int p) {
    if (const auto index = selection(family_.page(p).DensityCorrCombo->currentIndex(),
                                     QStringLiteral("Set Density Correction."),
                                     QStringLiteral("the density correction")))
        sensors().DensityCorrSet(p, *index);
}

void LevelCommands::LocalGravityBut_Click(int p) {
    sensors().LocalGravitySet(p, family_.page(p).LocalGravityText->text());
}

void LevelCommands::lockWarning(int p, const QString& title, const QString& what) {
    if (sensors().unlockTicked(p))
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
    sensors().RangeSet(p, family_.page(p).RangeText->text());
}

void LevelCommands::MaxRangeBut_Click(int p) {
    lockWarning(p, QStringLiteral("Set Maximum Range Value."),
                QStringLiteral("maximum range value"));
    sensors().MaxOverRangeSet(p, family_.page(p).MaxOverRangeText->text());
}

void LevelCommands::ReverseBut_Click(int p) {
    if (const auto index =
            selection(family_.page(p).ReverseCombo->currentIndex(),
                      QStringLiteral("Set Reverse Output."), QStringLiteral("the reverse output")))
        sensors().ReverseSet(p, *index);
}

void LevelCommands::LevelBut_Click(int p) {
    sensors().LevelSet(p, family_.page(p).LevelText->text());
}

void LevelCommands::SGBut_Click(int p) {
    const std::optional<QString> value =
        LevelSensors::reciprocalText(family_.page(p).SGText->text());
    if (!value) {
        dialogs_.messageBox(QStringLiteral("Set Specific Gravity."),
                            QStringLiteral("Please enter a specific gravity greater than zero."),
                            Icon::Exclamation);
        return;
    }
    sensors().SGSet(p, *value);
}

void LevelCommands::LevelOffsetBut_Click(int p) {
    if (!dialogs_.confirm(QStringLiteral("Level Offset Function."), kProceed))
        return;
    sensors().LevelOffset(p, family_.page(p).LevelOffsetText->text());
}

void LevelCommands::AutoZeroBut_Click(int p) {
    if (!dialogs_.confirm(QStringLiteral("Auto Zero Function."), kProceed))
        return;
    sensors().AutoZero(p);
}

void LevelCommands::ClearOffsetsBut_Click(int p) {
    if (!dialogs_.confirm(QStringLiteral("Clear Offsets."), kProceed))
        return;
    sensors().ClearOffsets(p);
}

void LevelCommands::LocalOffsetCheck_Click(int p) {
    sensors().LocalOffsetCheck_Click(p, family_.page(p).LocalOffsetCheck->isChecked());
}

void LevelCommands::UnlockCheck_Click(int p) {
    sensors().UnlockCheck_Click(p, family_.page(p).UnlockCheck->isChecked());
}

} // namespace levelprobe
