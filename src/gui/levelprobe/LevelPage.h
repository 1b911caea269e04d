#pragma once

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace widgets {
class DropDown;
} // namespace widgets

namespace levelprobe {

// The level-probe controls of one sensor page: the parameter frame and the calibration
// frame (only one of them is shown at a time).
class LevelPage final : public QWidget {
    Q_OBJECT
public:
    explicit LevelPage(QWidget* parent = nullptr);

    // Fills the pressure-unit list and sets the tooltips of the page.
    void fillPressureUnits();
    void setToolTips();

    QGroupBox* ParameterFrame;
    QGroupBox* CalibrateFrame;

    // Parameter frame.
    widgets::DropDown* AddressCombo;
    QPushButton* AddrBut;
    QListWidget* SensorIDList;
    QPushButton* IDQueryBut;
    widgets::DropDown* PressUnitsCombo;
    QPushButton* PressUnitsBut;
    QPushButton* PressUnitsQueryBut;
    widgets::DropDown* TempUnitsCombo;
    QPushButton* TempUnitsBut;
    QPushButton* TempUnitsQueryBut;
    widgets::DropDown* DensityCorrCombo;
    QPushButton* DensityCorrBut;
    QPushButton* DensityCorrQueryBut;
    QLineEdit* RangeText;
    QPushButton* RangeBut;
    QPushButton* RangeQueryBut;
    QLineEdit* MaxOverRangeText;
    QPushButton* MaxRangeBut;
    QPushButton* MaxOverRangeQueryBut;
    widgets::DropDown* ReverseCombo;
    QPushButton* ReverseBut;
    QPushButton* ReverseQueryBut;
    QLineEdit* LevelText;
    QPushButton* LevelBut;
    QPushButton* LevelQueryBut;
    QCheckBox* LocalOffsetCheck;
    QPushButton* ApplyQueryBut;
    QCheckBox* UnlockCheck;
    QPushButton* UnlockQueryBut;
    QLineEdit* SampleRateText;
    QLineEdit* LevelOffsetText;
    QPushButton* LevelOffsetBut;
    QPushButton* AutoZeroBut;
    QLineEdit* SGText;
    QPushButton* SGBut;
    widgets::DropDown* LogPeriodCombo;
    QPushButton* StartLogBut;
    QPushButton* StopLogBut;

    // Calibration frame.
    QLineEdit* LocalGravityText;
    QPushButton* LocalGravityBut;
    QPushButton* LocalGravityQueryBut;
    QPushButton* ClearOffsetsBut;
    QLineEdit* ZeroCalibrationText;
    QPushButton* ZeroCalibrationBut;
    QLineEdit* SlopeCalibrationText;
    QPushButton* SlopeCalibrationBut;
    QLineEdit* PressureText;
    QPushButton* PressureBut;
    QPushButton* StageOneBut;
    QPushButton* CalibrationCompleteBut;

private:
    void buildParameterFrame();
    void buildCalibrateFrame();
};

} // namespace levelprobe
