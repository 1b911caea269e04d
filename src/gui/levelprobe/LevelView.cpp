#include "LevelView.h"

#include "LevelPage.h"
#include "gui/widgets/DropDown.h"
#include "gui/widgets/SensorColumns.h"

#include <QLineEdit>
#include <QListWidget>

namespace levelprobe {

using widgets::LevelColumn;

LevelView::LevelView(std::array<LevelPage*, 10> pages, QTreeWidget* list)
    : pages_(pages), list_(list) {}

void LevelView::show(int p, const LevelRecord& record, LevelField field) {
    // A field whose answer is awaited shows empty: the page shows only what the sensor
    // confirmed.
    static const LevelRecord kAwaiting;
    const LevelRecord& r = record.awaitsAnswer(field) ? kAwaiting : record;
    LevelPage& pg = *pages_.at(static_cast<size_t>(p));
    const auto cell = [this, p](LevelColumn column, const QString& text) {
        widgets::setCell(list_, p, column, text);
    };
    switch (field) {
    case LevelField::Identification:
        pg.SensorIDList->clear();
        pg.SensorIDList->addItems(r.identification);
        break;
    case LevelField::SerialNumber:
        cell(LevelColumn::SerialNo, r.serialNumber);
        break;
    case LevelField::PressureUnits:
        pg.PressUnitsCombo->selectOrBlank(r.pressureUnitEntry());
        cell(LevelColumn::PressureUnits, r.pressureUnitText());
        break;
    case LevelField::TemperatureUnits:
        pg.TempUnitsCombo->selectOrBlank(r.temperatureUnit);
        cell(LevelColumn::TemperatureUnits, r.temperatureUnitText());
        break;
    case LevelField::DensityCorrection:
        pg.DensityCorrCombo->selectOrBlank(r.densityCorrection);
        cell(LevelColumn::DensityCorrection, r.densityCorrectionText());
        break;
    case LevelField::LocalGravity:
        pg.LocalGravityText->setText(r.localGravity);
        cell(LevelColumn::LocalGravity, r.localGravity);
        break;
    case LevelField::Range:
        pg.RangeText->setText(r.range);
        break;
    case LevelField::MaxOverRange:
        pg.MaxOverRangeText->setText(r.maxOverRange);
        break;
    case LevelField::Reverse:
        pg.ReverseCombo->selectOrBlank(r.reverse);
        break;
    case LevelField::LocalLevel:
        pg.LevelText->setText(r.localLevel);
        break;
    case LevelField::LocalOffset:
    case LevelField::Unlock:
        break; // the boxes show the sensors' flags, which follow these answers
    case LevelField::SampleRate:
        pg.SampleRateText->setText(r.sampleRateText());
        break;
    case LevelField::SpecificGravity:
        pg.SGText->setText(r.specificGravity);
        break;
    case LevelField::ZeroCalibration:
        pg.ZeroCalibrationText->setText(r.zeroCalibration);
        break;
    case LevelField::SlopeCalibration:
        pg.SlopeCalibrationText->setText(r.slopeCalibration);
        break;
    case LevelField::Reading:
        pg.PressureText->setText(r.pressure);
        cell(LevelColumn::Pressure, r.pressure);
        cell(LevelColumn::Temperature, r.temperature);
        break;
    }
}

void LevelView::showAll(int p, const LevelRecord& r) {
    for (const LevelField field :
         {LevelField::Identification, LevelField::SerialNumber, LevelField::PressureUnits,
          LevelField::TemperatureUnits, LevelField::DensityCorrection, LevelField::LocalGravity,
          LevelField::Range, LevelField::MaxOverRange, LevelField::Reverse, LevelField::LocalLevel,
          LevelField::SampleRate, LevelField::SpecificGravity, LevelField::ZeroCalibration,
          LevelField::SlopeCalibration, LevelField::Reading})
        show(p, r, field);
}

} // namespace levelprobe
