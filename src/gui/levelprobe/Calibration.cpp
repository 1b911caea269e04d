#include "Calibration.h"

#include "LevelFamily.h"
#include "LevelPage.h"
#include "core/levelprobe/CalibrationSteps.h"
#include "core/levelprobe/SequenceRun.h"
#include "core/logging/Logger.h"
#include "core/protocol/Numbers.h"
#include "core/protocol/ReplyLine.h"
#include "gui/platform/Dialogs.h"
#include "gui/widgets/Controls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <array>
#include <functional>

namespace levelprobe {

using Icon = platform::Dialogs::Icon;

namespace {} // namespace

Calibration::Calibration(LevelFamily& family) : family_(family) {}

void Calibration::connectPage(int p) {
    const LevelPage& pg = family_.page(p);
    const std::pair<QPushButton*, void (Calibration::*)(int)> buttons[] = {
        {pg.StageOneBut, &Calibration::StageOneBut_Click},
        {pg.ZeroCalibrationBut, &Calibration::ZeroCalibrationBut_Click},
        {pg.SlopeCalibrationBut, &Calibration::SlopeCalibrationBut_Click},
        {pg.CalibrationCompleteBut, &Calibration::CalibrationCompleteBut_Click},
    };
    for (const auto& [button, handler] : buttons) {
        // A sequence waits for the bus while another exchange holds it.
        QObject::connect(button, &QPushButton::clicked, button,
                         [this, p, handler = handler, key = button->objectName()] {
                             const auto run = [this, p, handler] { (this->*handler)(p); };
                             if (!family_.link().deferWhileHeld(key + QString::number(p), p, run))
                                 run();
                         });
    }
}

void Calibration::setCalibrateCheck(QCheckBox* check) {
    check_ = check;
    QObject::connect(check, &QCheckBox::toggled, check, [this] { CalibrateCheck_Click(); });
    // Locked like a page's controls while a sequence (a scan, an apply, a calibration stage)
    // holds the bus: what follows its replies depends on the mode.
    QObject::connect(&family_.link(), &sdilink::Link::sequenceRunning, check,
                     [check](bool running) { check->setEnabled(!running); });
}

bool Calibration::inCalibrateMode() const {
    return check_ != nullptr && check_->isChecked();
}

void Calibration::setChecked(bool checked) {
    const QSignalBlocker quiet(check_);
    check_->setChecked(checked);
}

void Calibration::CalibrateCheck_Click() {
    if (inCalibrateMode())
        enterCalibrateMode();
    else
        leaveCalibrateMode();
}

void Calibration::enterCalibrateMode() {
    // Calibrate mode hides the log's Stop button, and its sequences must not share the bus
    // with the log's readings.
    if (family_.logger().state().loggingPage) {
        family_.dialogs().messageBox(QStringLiteral("Calibrate Mode."),
                                     QStringLiteral("Please stop the log before entering "
                                                    "calibrate mode."),
                                     Icon::Exclamation);
        setChecked(false);
        return;
    }
    CalibrationState& state = family_.calibration();
    state.Calibrate_Flag = true;
    state.StageOne_Flag = {};
    state.DensityCorrectionOn = {};
    for (int p = 0; p <= 9; ++p) {
        const LevelPage& pg = family_.page(p);
        widgets::setEnabled({pg.ZeroCalibrationBut, pg.SlopeCalibrationBut, pg.PressureBut,
                             pg.CalibrationCompleteBut},
                            false);
    }
    showCalibrateFrames(true);
    family_.page(family_.currentPage()).StageOneBut->setFocus();
}

bool Calibration::leaveCalibrateMode() {
    if (!family_.dialogs().confirm(QStringLiteral("Calibration Complete."),
                                   QStringLiteral("Are you sure you wish to exit calibrate "
                                                  "mode?"))) {
        setChecked(true);
        return false;
    }
    CalibrationState& state = family_.calibration();
    // Density correction goes off again wherever stage one turned it on, and nowhere else.
    const std::array<bool, 10> restore = state.DensityCorrectionOn;
    state.Calibrate_Flag = false;
    state.StageOne_Flag = {};
    state.DensityCorrectionOn = {};
    showCalibrateFrames(false);
    restoreDensityCorrection(restore);
    return true;
}

QCoro::Task<> Calibration::restoreDensityCorrection(std::array<bool, 10> pages) {
    if (pages == std::array<bool, 10>{} ||
        family_.link().deferWhileHeld(QStringLiteral("leave calibrate mode"), -1,
                                      [this, pages] { restoreDensityCorrection(pages); }))
        co_return;
    for (int p = 0; p <= 9; ++p) {
        if (!pages.at(static_cast<size_t>(p)))
            continue;
        bool off = false;
        {
            SequenceRun run(family_.sensors(), p, true, QStringLiteral("Calibration Complete."),
                            QStringLiteral("Leaving calibrate mode"));
            off = co_await run.step("density correction off",
                                    [&] { family_.sensors().DensityCorrSet(p, 0); });
        }
        if (family_.link().replyStatus() == sdilink::Link::Abandoned)
            co_return;
        if (off)
            family_.logger().requestReading(p);
    }
}

void Calibration::showCalibrateFrames(bool calibrate) {
    for (int p = 0; p <= 9; ++p) {
        LevelPage& pg = family_.page(p);
        pg.ParameterFrame->setVisible(!calibrate);
        pg.CalibrateFrame->setVisible(calibrate);
    }
}

void Calibration::CalibrationCompleteBut_Click(int) {
    // The same question as unticking the box.
    if (check_ != nullptr)
        check_->setChecked(false);
}

void Calibration::StageOneBut_Click(int p) {
    stageOne(p);
}

QCoro::Task<> Calibration::stageOne(int p) {
    const bool done = co_await levelprobe::stageOne(family_.sensors(), p);
    if (!done)
        co_return;
    family_.dialogs().messageBox(
        QStringLiteral("Stage One Calibration"),
        QStringLiteral("Stage 1 of Re-Calibration complete, proceed to stage 2."),
        Icon::Information);
    family_.page(p).ZeroCalibrationBut->setFocus();
}

QCoro::Task<bool> Calibration::measure(SequenceRun& run, int p) {
    // The box shows this reading or nothing: never one taken before.
    family_.sensors().awaitAnswer(p, LevelField::Reading);
    co_return co_await run.step("reading", [this, p] { family_.logger().Measure(p); });
}

std::optional<QString> Calibration::zeroCorrection(const QString& reading) {
    const std::optional<double> value = protocol::parseNumber(reading);
    if (!value)
        return std::nullopt;
    return protocol::plainNumberText(-*value);
}

std::optional<QString> Calibration::slope(const QString& range, const QString& reading) {
    const std::optional<double> r = protocol::parseNumber(range);
    const std::optional<double> p = protocol::parseNumber(reading);
    if (!r || !p || *r <= 0.0 || *p <= 0.0)
        return std::nullopt;
    return protocol::plainNumberText(*r / *p);
}

// One calibration point: the value cleared first, the question, the value computed from the
// reading, where it is shown and sent, and what is said.
struct Calibration::Point {
    const char* title;
    const char* sequence;
    const char* question;
    const char* refusal;        // %1: the reading
    QString LevelRecord::*kept; // where the value sent is kept, and its field
    LevelField field;
    void (LevelSensors::*set)(int, const QString&);
    const char* cleared;
    std::function<std::optional<QString>(const QString& reading)> value;
    QStringList done;
};

QCoro::Task<> Calibration::calibratePoint(int p, Point point) {
    if (!family_.calibration().stageOneDone(p))
        co_return;
    LevelSensors& c = family_.sensors();
    platform::Dialogs& dialogs = family_.dialogs();
    const QString title = QString::fromLatin1(point.title);
    const QString sequence = QString::fromLatin1(point.sequence);
    const auto send = [&](const QString& value) { (c.*point.set)(p, value); };
    {
        SequenceRun run(family_.sensors(), p, false, title, sequence);
        if (!co_await run.step("value cleared", [&] { send(QString::fromLatin1(point.cleared)); }))
            co_return;
    }
    // The person is asked with the bus free; the rest waits for its turn.
    if (!dialogs.confirm(title, QString::fromLatin1(point.question)))
        co_return;
    if (!co_await family_.link().turn(title + QString::number(p), p))
        co_return;
    QString refusal;
    {
        SequenceRun run(family_.sensors(), p, false, title, sequence);
        if (!co_await measure(run, p))
            co_return;
        const LevelRecord& record = family_.sensors().record(p);
        const QString reading =
            record.awaitsAnswer(LevelField::Reading) ? QString() : record.pressure;
        const std::optional<QString> value = point.value(reading);
        if (!value) {
            refusal = QString::fromLatin1(point.refusal).arg(reading);
        } else {
            family_.sensors().record(p).*point.kept = *value;
            family_.sensors().taken(p, point.field);
            if (!co_await run.step("new value", [&] { send(*value); }))
                co_return;
        }
    }
    if (!refusal.isEmpty()) {
        dialogs.messageBox(title, refusal, Icon::Exclamation);
        co_return;
    }
    for (const QString& text : point.done)
        dialogs.messageBox(text == point.done.front() ? title : QStringLiteral("Calibration."),
                           text, Icon::Information);
    // The corrected reading.
    family_.logger().requestReading(p);
}

void Calibration::ZeroCalibrationBut_Click(int p) {
    calibratePoint(p,
                   {"Zero Calibration.",
                    "The zero calibration",
                    "Is the instrument at the correct zero pressure?",
                    "The reading at zero pressure (\"%1\") is no number: no zero correction "
                    "was sent.",
                    &LevelRecord::zeroCalibration,
                    LevelField::ZeroCalibration,
                    &LevelSensors::ZeroCalibrationSet,
                    "0.0",
                    &zeroCorrection,
                    {QStringLiteral("Zero calibration complete, proceed to slope calibration.")}});
}

void Calibration::SlopeCalibrationBut_Click(int p) {
    const QString range = family_.sensors().record(p).range;
    if (!slope(range, QStringLiteral("1"))) {
        family_.dialogs().messageBox(
            QStringLiteral("Slope Calibration."),
            QStringLiteral("The range (\"%1\") is not a number greater than zero: query the "
                           "range first. Nothing was sent.")
                .arg(range),
            Icon::Exclamation);
        return;
    }
    calibratePoint(
        p, {"Slope Calibration.",
            "The slope calibration",
            "Is the instrument at the correct full-scale pressure?",
            "The full-scale reading (\"%1\") is not a number greater than zero: no slope was "
            "sent, the sensor keeps the slope 1.0.",
            &LevelRecord::slopeCalibration,
            LevelField::SlopeCalibration,
            &LevelSensors::SlopeCalibrationSet,
            "1.0",
            [range](const QString& reading) { return slope(range, reading); },
            {QStringLiteral("Slope calibration complete."),
             QStringLiteral("To verify calibration use 'get pressure' function and check zero "
                            "and full-scale readings.\rOtherwise use 'Calibration Complete' "
                            "button to exit calibration mode.")}});
}

} // namespace levelprobe
