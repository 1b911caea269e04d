#include "RotaryCommands.h"

#include "RotaryFamily.h"
#include "RotaryPage.h"
#include "core/link/Link.h"
#include "core/protocol/Settings.h"
#include "core/rotary/RotarySensors.h"
#include "gui/platform/Dialogs.h"
#include "gui/widgets/CharacterFilter.h"
#include "gui/widgets/DropDown.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

namespace rotary {

using Icon = platform::Dialogs::Icon;

RotaryCommands::RotaryCommands(RotaryFamily& family, sdilink::Link& link,
                               platform::Dialogs& dialogs)
    : family_(family), link_(link), dialogs_(dialogs) {}

void RotaryCommands::connectPage(int p) {
    RotaryPage& pg = family_.page(p);
    // RotaryCountsPerRevBut and RotaryUnlockQueryBut send nothing: the counts can only be
    // read from the encoder.
    const std::pair<QPushButton*, void (RotaryCommands::*)(int)> buttons[] = {
        {pg.QueryRotaryMeasurementUnitsBut, &RotaryCommands::QueryRotaryMeasurementUnitsBut_Click},
        {pg.QueryRotaryPulleyCircumfBut, &RotaryCommands::QueryRotaryPulleyCircumfBut_Click},
        {pg.QueryRotaryDirectionBut, &RotaryCommands::QueryRotaryDirectionBut_Click},
        {pg.QueryRotaryCountsPerRevBut, &RotaryCommands::QueryRotaryCountsPerRevBut_Click},
        {pg.QueryRotaryCurrentValueBut, &RotaryCommands::QueryRotaryCurrentValueBut_Click},
        {pg.RotaryIDQueryBut, &RotaryCommands::RotaryIDQueryBut_Click},
        {pg.RotaryMeasurementUnitsBut, &RotaryCommands::RotaryMeasurementUnitsBut_Click},
        {pg.RotaryDirectionBut, &RotaryCommands::RotaryDirectionBut_Click},
        {pg.RotaryPulleyCircumBut, &RotaryCommands::RotaryPulleyCircumBut_Click},
        {pg.RotaryCurrentValueBut, &RotaryCommands::RotaryCurrentValueBut_Click},
        {pg.RotarySetZeroBut, &RotaryCommands::RotarySetZeroBut_Click},
    };
    for (const auto& [button, handler] : buttons)
        QObject::connect(button, &QPushButton::clicked, button,
                         [this, p, handler = handler] { (this->*handler)(p); });
    const auto beep = [this] { link_.beep(); };
    for (QLineEdit* box : {pg.RotaryPulleyCircumText, pg.RotaryCurrentValueText})
        widgets::CharacterFilter::install(box, &RotaryCommands::acceptsNumberCharacter, beep);
}

bool RotaryCommands::acceptsNumberCharacter(QChar c, const QString& text) {
    return protocol::numberCharacterFits(c, text, protocol::NumberRule::PlusOrMinus);
}

RotarySensors& RotaryCommands::sensors() const {
    return family_.sensors();
}

void RotaryCommands::QueryRotaryMeasurementUnitsBut_Click(int p) {
    sensors().query(p, Code::RotaryUnitsQuery);
}
void RotaryCommands::QueryRotaryPulleyCircumfBut_Click(int p) {
    sensors().query(p, Code::RotaryCircumferenceQuery);
}
void RotaryCommands::QueryRotaryDirectionBut_Click(int p) {
    sensors().query(p, Code::RotaryDirectionQuery);
}
void RotaryCommands::QueryRotaryCountsPerRevBut_Click(int p) {
    sensors().query(p, Code::RotaryCountsQuery);
}
void RotaryCommands::QueryRotaryCurrentValueBut_Click(int p) {
    sensors().query(p, Code::RotaryCurrentValueQuery);
}
void RotaryCommands::RotaryIDQueryBut_Click(int p) {
    sensors().query(p, Code::RotaryIdentification);
}

std::optional<int> RotaryCommands::selection(int index, const QString& title, const QString& what) {
    if (index >= 0)
        return index;
    dialogs_.messageBox(title, QStringLiteral("Please select %1 from the list.").arg(what),
                        Icon::Exclamation);
    return std::nullopt;
}

void RotaryCommands::RotaryMeasurementUnitsBut_Click(int p) {
    widgets::DropDown* units = family_.page(p).RotaryMeasurementUnitsCombo;
    if (const auto index =
            selection(units->currentIndex(), QStringLiteral("Set Measurement Units."),
                      QStringLiteral("the measurement units")))
        sensors().RotaryMeasurementUnitsSet(p, *index);
}

void RotaryCommands::RotaryDirectionBut_Click(int p) {
    widgets::DropDown* direction = family_.page(p).RotaryDirectionCombo;
    if (const auto index =
            selection(direction->currentIndex(), QStringLiteral("Set Rotation Direction."),
                      QStringLiteral("the rotation direction")))
        sensors().RotaryDirectionSet(p, *index);
}

void RotaryCommands::RotaryPulleyCircumBut_Click(int p) {
    sensors().RotaryPulleyCircumSet(p, family_.page(p).RotaryPulleyCircumText->text());
}

void RotaryCommands::RotaryCurrentValueBut_Click(int p) {
    sensors().RotaryCurrentValueSet(p, family_.page(p).RotaryCurrentValueText->text());
}

void RotaryCommands::RotarySetZeroBut_Click(int p) {
    sensors().RotarySetZero(p);
}

} // namespace rotary
