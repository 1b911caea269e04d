#pragma once

#include <QGroupBox>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace widgets {
class DropDown;
} // namespace widgets

namespace rotary {

// The rotary-encoder controls of one sensor page (the frame "Set Parameters").
class RotaryPage final : public QGroupBox {
    Q_OBJECT
public:
    explicit RotaryPage(QWidget* parent = nullptr);

    QGroupBox* RotaryEncoderFrame; // this frame itself

    widgets::DropDown* RotaryAddressCombo;
    QPushButton* RotaryAddrBut;
    QListWidget* RotarySensorIDList;
    QPushButton* RotaryIDQueryBut;
    QLineEdit* RotaryCountsPerRevText;
    QPushButton* RotaryCountsPerRevBut;
    QPushButton* QueryRotaryCountsPerRevBut;
    widgets::DropDown* RotaryDirectionCombo;
    QPushButton* RotaryDirectionBut;
    QPushButton* QueryRotaryDirectionBut;
    widgets::DropDown* RotaryMeasurementUnitsCombo;
    QPushButton* RotaryMeasurementUnitsBut;
    QPushButton* QueryRotaryMeasurementUnitsBut;
    QLineEdit* RotaryPulleyCircumText;
    QPushButton* RotaryPulleyCircumBut;
    QPushButton* QueryRotaryPulleyCircumfBut;
    QLineEdit* RotaryMeasurementResText;
    QLineEdit* RotaryCurrentValueText;
    QPushButton* RotaryCurrentValueBut;
    QPushButton* QueryRotaryCurrentValueBut;
    QPushButton* RotarySetZeroBut;
    QLineEdit* RotaryMaxRangeText;
    QPushButton* RotaryUnlockQueryBut;
    widgets::DropDown* RotaryLogPeriodCombo;
    QPushButton* RotaryStartLogBut;
    QPushButton* RotaryStopLogBut;
};

} // namespace rotary
