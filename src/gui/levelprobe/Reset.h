#pragma once

#include <QCoroTask>
#include <QDialog>
#include <QPointer>

class QPushButton;

namespace widgets {
class DropDown;
} // namespace widgets

namespace levelprobe {

class LevelFamily;

// The "Reset Sensor" window: the sensor to reset and the button that resets it.
class ResetWindow final : public QDialog {
    Q_OBJECT
public:
    explicit ResetWindow(QWidget* parent = nullptr);

    widgets::DropDown* SensorCombo;
    QPushButton* ResetBut;
};

// Returns a level probe to its default parameters with a fixed chain of eleven set
// requests, each waiting for its answer, then takes a reading.
class Reset {
public:
    explicit Reset(LevelFamily& family);

    // Opens the window (modally) with the sensor shown selected.
    void mnuReset_Click();
    // Resets the chosen sensor, when it answered the last scan; the window stays open.
    void ResetBut_Click();
    // The chain on page p. True when every request was answered.
    QCoro::Task<bool> ResetSensor(int p);

    ResetWindow& window();
    qint16 ResetIndex = 0;

private:
    QCoro::Task<> resetChosen(int p);

    LevelFamily& family_;
    QPointer<ResetWindow> window_;
};

} // namespace levelprobe
