#pragma once

#include <array>

#include <QCoroTask>
#include <QString>
#include <optional>

class QCheckBox;

namespace levelprobe {

class LevelFamily;
class SequenceRun;

// Calibrate mode and the calibration sequences of a level-probe page: stage one (the sensor
// put into a known state), the zero calibration (the negated reading at zero pressure
// becomes the zero correction), the slope calibration (range / reading at full scale) and
// leaving calibrate mode.
class Calibration {
public:
    explicit Calibration(LevelFamily& family);

    // Connects page p's calibration buttons.
    void connectPage(int p);
    // The window's "Calibrate Mode" check box; a change of its value enters or leaves
    // calibrate mode.
    void setCalibrateCheck(QCheckBox* check);
    QCheckBox* CalibrateCheck() const { return check_; }
    bool inCalibrateMode() const;

    void CalibrateCheck_Click();
    void StageOneBut_Click(int p);
    void ZeroCalibrationBut_Click(int p);
    void SlopeCalibrationBut_Click(int p);
    void CalibrationCompleteBut_Click(int p);

    // The zero correction for a reading at zero pressure: the reading negated, as plain
    // decimal text; empty when the reading is no number.
    static std::optional<QString> zeroCorrection(const QString& reading);
    // The slope for a full-scale reading: range / reading as plain decimal text; empty when
    // either is not a number greater than zero.
    static std::optional<QString> slope(const QString& range, const QString& reading);

private:
    void enterCalibrateMode();
    // Asks first; on No calibrate mode stays. On Yes density correction is turned off again
    // on the pages whose stage one turned it on, then the pages show their parameters.
    bool leaveCalibrateMode();
    // Sends aXP0! (and takes a reading) on the pages given, one sequence each.
    QCoro::Task<> restoreDensityCorrection(std::array<bool, 10> pages);
    QCoro::Task<> stageOne(int p);
    void showCalibrateFrames(bool calibrate);
    void setChecked(bool checked);
    // Takes a reading of page p and awaits it; the page's pressure box shows it.
    QCoro::Task<bool> measure(SequenceRun& run, int p);
    struct Point;
    // Clears the point's value, asks (with the bus free), takes a reading and sends the
    // value computed from it.
    QCoro::Task<> calibratePoint(int p, Point point);

    LevelFamily& family_;
    QCheckBox* check_ = nullptr;
};

} // namespace levelprobe
