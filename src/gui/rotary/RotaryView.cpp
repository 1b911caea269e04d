#include "RotaryView.h"

#include "RotaryPage.h"
#include "gui/widgets/DropDown.h"
#include "gui/widgets/SensorColumns.h"

#include <QLineEdit>
#include <QListWidget>

namespace rotary {

using widgets::RotaryColumn;

RotaryView::RotaryView(std::array<RotaryPage*, 10> pages, QTreeWidget* list)
    : pages_(pages), list_(list) {}

void RotaryView::show(int p, const RotaryRecord& record, RotaryField field) {
    // A field whose answer is awaited shows empty: the page shows only what the sensor
    // confirmed.
    static const RotaryRecord kAwaiting;
    const RotaryRecord& r = record.awaitsAnswer(field) ? kAwaiting : record;
    RotaryPage& pg = *pages_.at(static_cast<size_t>(p));
    const auto cell = [this, p](RotaryColumn column, const QString& text) {
        widgets::setCell(list_, p, column, text);
    };
    switch (field) {
    case RotaryField::Identification:
        pg.RotarySensorIDList->clear();
        pg.RotarySensorIDList->addItems(r.identification);
        return;
    case RotaryField::SerialNumber:
        cell(RotaryColumn::SerialNo, r.serialNumber);
        return;
    case RotaryField::Units:
        pg.RotaryMeasurementUnitsCombo->selectOrBlank(r.units);
        cell(RotaryColumn::Units, r.unitsText());
        break;
    case RotaryField::PulleyCircumference:
        pg.RotaryPulleyCircumText->setText(r.pulleyCircumference);
        cell(RotaryColumn::PulleyCircum, r.pulleyCircumference);
        break;
    case RotaryField::Direction:
        pg.RotaryDirectionCombo->selectOrBlank(r.direction);
        cell(RotaryColumn::Direction, r.directionText());
        return;
    case RotaryField::CountsPerRev:
        pg.RotaryCountsPerRevText->setText(r.countsPerRev);
        break;
    case RotaryField::CurrentValue:
        pg.RotaryCurrentValueText->setText(r.currentValue);
        return;
    case RotaryField::Reading:
        pg.RotaryCurrentValueText->setText(r.currentValue);
        cell(RotaryColumn::Level, r.currentValue);
        return;
    }
    // The resolution follows the units, the circumference and the counts.
    pg.RotaryMeasurementResText->setText(record.measurementRes);
}

void RotaryView::showAll(int p, const RotaryRecord& r) {
    for (const RotaryField field :
         {RotaryField::Identification, RotaryField::SerialNumber, RotaryField::Units,
          RotaryField::PulleyCircumference, RotaryField::Direction, RotaryField::CountsPerRev,
          RotaryField::Reading})
        show(p, r, field);
    pages_.at(static_cast<size_t>(p))->RotaryMaxRangeText->setText(r.maxRange);
}

} // namespace rotary
