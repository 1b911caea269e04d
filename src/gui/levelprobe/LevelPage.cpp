#include "LevelPage.h"

#include "core/levelprobe/LevelRecord.h"
#include "core/levelprobe/PressureUnits.h"
#include "gui/logging/LogPages.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/DropDown.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace levelprobe {

using widgets::makeButton;
using widgets::makeCheckBox;
using widgets::makeDropDown;
using widgets::makeTextBox;

namespace {

const QString kSet = QStringLiteral("Set");
const QString kQuery = QStringLiteral("Query");
const QString kGo = QStringLiteral("Go");

// A fixed list, each entry's code its index; nothing shown until the sensor has answered.
void fillList(widgets::DropDown& list, const QStringList& names) {
    for (int i = 0; i < names.size(); ++i)
        list.addEntry(names.at(i), i);
    list.setText({});
}

} // namespace

LevelPage::LevelPage(QWidget* parent) : QWidget(parent) {
    buildParameterFrame();
    buildCalibrateFrame();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ParameterFrame);
    layout->addWidget(CalibrateFrame);
    fillPressureUnits();
    setToolTips();
}

void LevelPage::buildParameterFrame() {
    ParameterFrame = new QGroupBox(QStringLiteral("Set Parameters"), this);
    ParameterFrame->setObjectName(QStringLiteral("ParameterFrame"));
    QWidget* f = ParameterFrame;

    const QString address = QStringLiteral("Sensor Address :");
    AddressCombo = makeDropDown(f, "AddressCombo", address);
    for (int a = 0; a <= 9; ++a)
        AddressCombo->addEntry(QString::number(a), a);
    AddressCombo->setText(QStringLiteral("Select....."));
    AddrBut = makeButton(f, "AddrBut", kSet, address);

    const QString details = QStringLiteral("Sensor Details :");
    SensorIDList = widgets::makeListBox(f, "SensorIDList", details);
    SensorIDList->setFixedHeight(76);
    IDQueryBut = makeButton(f, "IDQueryBut", kQuery, details);

    const QString pressUnits = QStringLiteral("Pressure Units :");
    PressUnitsCombo = makeDropDown(f, "PressUnitsCombo", pressUnits);
    PressUnitsBut = makeButton(f, "PressUnitsBut", kSet, pressUnits);
    PressUnitsQueryBut = makeButton(f, "PressUnitsQueryBut", kQuery, pressUnits);

    const QString tempUnits = QStringLiteral("Temperature Units :");
    TempUnitsCombo = makeDropDown(f, "TempUnitsCombo", tempUnits);
    fillList(*TempUnitsCombo, temperatureUnitNames());
    TempUnitsBut = makeButton(f, "TempUnitsBut", kSet, tempUnits);
    TempUnitsQueryBut = makeButton(f, "TempUnitsQueryBut", kQuery, tempUnits);

    const QString density = QStringLiteral("Density Correction :");
    DensityCorrCombo = makeDropDown(f, "DensityCorrCombo", density);
    fillList(*DensityCorrCombo, densityCorrectionNames());
    DensityCorrBut = makeButton(f, "DensityCorrBut", kSet, density);
    DensityCorrQueryBut = makeButton(f, "DensityCorrQueryBut", kQuery, density);

    const QString range = QStringLiteral("Range :");
    RangeText = makeTextBox(f, "RangeText", range);
    RangeBut = makeButton(f, "RangeBut", kSet, range);
    RangeQueryBut = makeButton(f, "RangeQueryBut", kQuery, range);

    const QString maxOver = QStringLiteral("Max Over Range :");
    MaxOverRangeText = makeTextBox(f, "MaxOverRangeText", maxOver);
    MaxRangeBut = makeButton(f, "MaxRangeBut", kSet, maxOver);
    MaxOverRangeQueryBut = makeButton(f, "MaxOverRangeQueryBut", kQuery, maxOver);

    const QString reverse = QStringLiteral("Reverse :");
    ReverseCombo = makeDropDown(f, "ReverseCombo", reverse);
    fillList(*ReverseCombo, reverseNames());
    ReverseBut = makeButton(f, "ReverseBut", kSet, reverse);
    ReverseQueryBut = makeButton(f, "ReverseQueryBut", kQuery, reverse);

    const QString level = QStringLiteral("Local Level :");
    LevelText = makeTextBox(f, "LevelText", level);
    LevelBut = makeButton(f, "LevelBut", kSet, level);
    LevelQueryBut = makeButton(f, "LevelQueryBut", kQuery, level);

    LocalOffsetCheck = makeCheckBox(f, "LocalOffsetCheck", QStringLiteral("Apply"));
    ApplyQueryBut = makeButton(f, "ApplyQueryBut", kQuery, QStringLiteral("Apply"));
    UnlockCheck = makeCheckBox(f, "UnlockCheck", QStringLiteral("Unlock"));
    UnlockQueryBut =
        makeButton(f, "UnlockQueryBut", QStringLiteral("Unlock"), QStringLiteral("Query"));

    SampleRateText = makeTextBox(f, "SampleRateText", QStringLiteral("Max. Sample Rate :"));
    SampleRateText->setReadOnly(true);

    const QString levelOffset = QStringLiteral("Level Offset:");
    LevelOffsetText = makeTextBox(f, "LevelOffsetText", levelOffset);
    LevelOffsetText->setText(QStringLiteral("0.00"));
    LevelOffsetBut = makeButton(f, "LevelOffsetBut", kSet, levelOffset);

    AutoZeroBut = makeButton(f, "AutoZeroBut", kSet, QStringLiteral("Auto Zero:"));

    const QString sg = QStringLiteral("S.G.");
    SGText = makeTextBox(f, "SGText", sg);
    SGBut = makeButton(f, "SGBut", kSet, sg);

    const QString period = QStringLiteral("Logging Period :");
    LogPeriodCombo = makeDropDown(f, "LogPeriodCombo", period);
    logging::fillLogPeriodList(*LogPeriodCombo, logging::initialLevelLogPeriods());
    StartLogBut = makeButton(f, "StartLogBut", QStringLiteral("Start Log"), {},
                             QStringLiteral("Start Logging."));
    StopLogBut =
        makeButton(f, "StopLogBut", QStringLiteral("Stop Log"), {}, QStringLiteral("Stop Logging"));

    // Two columns of groups: identity and units on the left, levels and ranges on the right.
    auto* grid = new QGridLayout(ParameterFrame);
    grid->setColumnMinimumWidth(4, 16);
    widgets::GridRows left(grid, 0);
    left.add(address, AddressCombo, AddrBut);
    left.add(details, SensorIDList, IDQueryBut);
    left.add(pressUnits, PressUnitsCombo, PressUnitsBut, PressUnitsQueryBut);
    left.add(tempUnits, TempUnitsCombo, TempUnitsBut, TempUnitsQueryBut);
    left.add(density, DensityCorrCombo, DensityCorrBut, DensityCorrQueryBut);
    left.add(sg, SGText, SGBut);
    left.add(period, LogPeriodCombo, StartLogBut, StopLogBut);
    widgets::GridRows right(grid, 5);
    right.add(range, RangeText, RangeBut, RangeQueryBut);
    right.add(maxOver, MaxOverRangeText, MaxRangeBut, MaxOverRangeQueryBut);
    right.add(reverse, ReverseCombo, ReverseBut, ReverseQueryBut);
    right.add(level, LevelText, LevelBut, LevelQueryBut);
    right.add({}, LocalOffsetCheck, ApplyQueryBut);
    right.add({}, UnlockCheck, UnlockQueryBut);
    right.add(QStringLiteral("Max. Sample Rate :"), SampleRateText);
    right.add(levelOffset, LevelOffsetText, LevelOffsetBut);
    right.add(QStringLiteral("Auto Zero:"), nullptr, AutoZeroBut);
    grid->setRowStretch(7, 1);
}

void LevelPage::buildCalibrateFrame() {
    CalibrateFrame = new QGroupBox(QStringLiteral("Calibrate"), this);
    CalibrateFrame->setObjectName(QStringLiteral("CalibrateFrame"));
    QWidget* f = CalibrateFrame;

    const QString gravity = QStringLiteral("Local Gravity :");
    LocalGravityText = makeTextBox(f, "LocalGravityText", gravity);
    LocalGravityBut = makeButton(f, "LocalGravityBut", kSet, gravity);
    LocalGravityQueryBut = makeButton(f, "LocalGravityQueryBut", kQuery, gravity);

    const QString stageOne = QStringLiteral("Stage 1 (Reset Calibration) :");
    StageOneBut = makeButton(f, "StageOneBut", kGo, stageOne);
    const QString zero = QStringLiteral("Zero Calibration :");
    ZeroCalibrationText = makeTextBox(f, "ZeroCalibrationText", zero);
    ZeroCalibrationBut = makeButton(f, "ZeroCalibrationBut", kGo, zero);
    const QString slope = QStringLiteral("Slope Calibration :");
    SlopeCalibrationText = makeTextBox(f, "SlopeCalibrationText", slope);
    SlopeCalibrationBut = makeButton(f, "SlopeCalibrationBut", kGo, slope);
    const QString pressure = QStringLiteral("Pressure:");
    PressureText = makeTextBox(f, "PressureText", pressure);
    PressureText->setReadOnly(true);
    PressureBut = makeButton(f, "PressureBut", QStringLiteral("Get"), pressure);
    const QString clear = QStringLiteral("Clear Offsets :");
    ClearOffsetsBut = makeButton(f, "ClearOffsetsBut", kGo, clear);
    const QString complete = QStringLiteral("Calibration Complete :");
    CalibrationCompleteBut =
        makeButton(f, "CalibrationCompleteBut", QStringLiteral("Yes"), complete);

    auto* grid = new QGridLayout(CalibrateFrame);
    widgets::GridRows rows(grid);
    rows.add(gravity, LocalGravityText, LocalGravityBut, LocalGravityQueryBut);
    rows.add(stageOne, nullptr, StageOneBut);
    rows.add(zero, ZeroCalibrationText, ZeroCalibrationBut);
    rows.add(slope, SlopeCalibrationText, SlopeCalibrationBut);
    rows.add(pressure, PressureText, PressureBut);
    rows.add(clear, nullptr, ClearOffsetsBut);
    rows.add(complete, nullptr, CalibrationCompleteBut);
    grid->setRowStretch(7, 1);
    grid->setColumnStretch(4, 1);
}

void LevelPage::fillPressureUnits() {
    PressUnitsCombo->clear();
    for (const PressureUnit& unit : pressureUnits())
        PressUnitsCombo->addEntry(QString::fromLatin1(unit.text), unit.code);
    // Nothing is shown until the sensor has said which unit it uses.
    PressUnitsCombo->setText({});
}

void LevelPage::setToolTips() {
    SGText->setToolTip(QStringLiteral("Enter Specific Gravity."));
    MaxOverRangeText->setToolTip(QStringLiteral("Maximum Useable Range."));
    RangeText->setToolTip(QStringLiteral("Calibrated Range."));
    DensityCorrCombo->setToolTip(QStringLiteral("Select Density Correction."));
    ReverseCombo->setToolTip(QStringLiteral("Enable Reverse output."));
    SampleRateText->setToolTip(QStringLiteral("Max Sample Rate."));
    LocalOffsetCheck->setToolTip(QStringLiteral("Apply Local Level Offset."));
    LevelBut->setToolTip(QStringLiteral("Set Local level."));
    AddressCombo->setToolTip(QStringLiteral("Select Sensor Address."));
    AutoZeroBut->setToolTip(QStringLiteral("Set Auto Zero."));
    ClearOffsetsBut->setToolTip(QStringLiteral("Clear Offsets."));
    LogPeriodCombo->setToolTip(logging::kLogPeriodToolTip);
}

} // namespace levelprobe
