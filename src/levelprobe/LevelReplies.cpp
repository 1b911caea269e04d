#include "LevelReplies.h"

#include "LevelFamily.h"
#include "LevelPage.h"
#include "LogPeriodList.h"
#include "link/Link.h"
#include "logging/Logger.h"
#include "platform/Dialogs.h"
#include "protocol/ReplyLine.h"
#include "widgets/Controls.h"
#include "widgets/DropDown.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>

namespace levelprobe {

using protocol::ReplyLine;

namespace {

// Sensor-list columns of a level probe.
enum Column {
    SerialNo = 1,
    DensityCorrection = 2,
    LocalGravity = 3,
    Pressure = 4,
    PressureUnits = 5,
    Temperature = 6,
    TemperatureUnits = 7,
};

} // namespace

LevelReplies::LevelReplies(LevelFamily& family, sdilink::Link& link, platform::Dialogs& dialogs)
    : ReplySteps(link), family_(family), dialogs_(dialogs) {}

void LevelReplies::unlock(int tab) {
    // A follow-up request sent while the reply was applied (a check box that sends its new
    // value) keeps the page locked until its own reply.
    if (!followUpInFlight())
        family_.UnlockLevelPage(tab);
}

void LevelReplies::measure(int tab) {
    family_.logger().Measure(tab);
}

void LevelReplies::setColumn(int tab, int column, const QString& text) {
    widgets::setRowText(family_.ListView(), tab, column, text);
}

void LevelReplies::showUnit(widgets::DropDown* units, std::optional<int> unitCode) {
    // The last entry with the code wins.
    int match = -1;
    for (int i = 0; unitCode && i < units->count(); ++i)
        if (units->itemCode(i) == *unitCode)
            match = i;
    units->selectOrBlank(match >= 0 ? std::optional<int>(match) : std::nullopt);
}

bool LevelReplies::decode(const sdilink::Transaction& transaction, const ReplyLine& line) {
    const LevelAnswer answer = readLevelAnswer(transaction.code, line);
    if (!answer.known)
        return false;
    apply(transaction.page, transaction.code, answer);
    return true;
}

void LevelReplies::apply(int tab, qint16 code, const LevelAnswer& a) {
    LevelPage& pg = family_.page(tab);
    const bool calibrating = family_.calibration().Calibrate_Flag;
    switch (code) {
    case 1:
        addressChange(tab, a);
        break;
    case 2:
    case 3:
        pressureUnits(tab, code, a);
        break;
    case 4:
    case 5:
        beep();
        pg.TempUnitsCombo->selectOrBlank(a.listCode);
        setColumn(tab, TemperatureUnits, pg.TempUnitsCombo->text());
        code == 4 ? unlock(tab) : measure(tab);
        break;
    case 6:
    case 7:
        beep();
        pg.DensityCorrCombo->selectOrBlank(a.listCode);
        setColumn(tab, DensityCorrection, pg.DensityCorrCombo->text());
        if (code == 6 || calibrating)
            unlock(tab);
        else
            measure(tab);
        break;
    case 8:
    case 9:
        beep();
        pg.LocalGravityText->setText(a.text);
        setColumn(tab, LocalGravity, a.text);
        code == 8 ? unlock(tab) : measure(tab);
        break;
    case 10:
        identification(tab, a);
        break;
    case 11:
        measurement(tab, a, false);
        break;
    case 12:
        data(tab, a);
        break;
    case 13:
    case 14:
        beep();
        pg.RangeText->setText(a.text);
        unlock(tab);
        break;
    case 15:
    case 16:
        beep();
        pg.MaxOverRangeText->setText(a.text);
        unlock(tab);
        break;
    case 17:
    case 18:
        beep();
        pg.ReverseCombo->selectOrBlank(a.listCode);
        unlock(tab);
        if (code == 18 && !calibrating)
            measure(tab);
        break;
    case 19:
    case 20:
        beep();
        pg.LevelText->setText(a.text);
        if (code == 19 || calibrating)
            unlock(tab);
        else
            measure(tab);
        break;
    case 21:
    case 22:
        localOffset(tab, code, a);
        break;
    case 23:
    case 24:
        beep();
        // A change of the box's value sends it on, as a click would; an answer that is no
        // digit leaves the box as it is.
        if (a.flag)
            pg.UnlockCheck->setChecked(*a.flag != 0);
        unlock(tab);
        break;
    case 25:
        beep();
        setColumn(tab, SerialNo, a.text);
        unlock(tab);
        break;
    case 26:
    case 27:
        filter(tab, code, a);
        break;
    case 28:
    case 31:
        measurement(tab, a, true);
        break;
    case 29:
        beep();
        pg.SGText->setText(a.text);
        if (!calibrating)
            measure(tab);
        break;
    case 30:
        pg.SGText->setText(a.text);
        break;
    case 32:
        beep();
        if (family_.calibration().UpdateReadings_Flag) {
            family_.calibration().UpdateReadings_Flag = false;
            measure(tab);
        }
        break;
    case 37:
        pg.ZeroCalibrationText->setText(a.text);
        break;
    case 38:
        pg.SlopeCalibrationText->setText(a.text);
        break;
    default: // 33-36, 39: nothing to show
        break;
    }
}

void LevelReplies::addressChange(int tab, const LevelAnswer& a) {
    beep();
    if (a.oldAddress >= 0 && a.newAddress >= 0 && a.oldAddress != a.newAddress) {
        family_.MoveLevelPage(a.oldAddress, a.newAddress);
        // What the move leaves to send keeps the page locked until it is sent.
        if (!family_.moveFollowUpsPending())
            unlock(a.newAddress);
    } else {
        unlock(tab);
    }
}

void LevelReplies::pressureUnits(int tab, qint16 code, const LevelAnswer& a) {
    beep();
    widgets::DropDown* units = family_.page(tab).PressUnitsCombo;
    showUnit(units, a.listCode);
    setColumn(tab, PressureUnits, units->text());
    if (code == 2)
        unlock(tab);
    else
        // The other values change with the unit: the page is read again once this reply
        // is done, before anything else waiting for the bus.
        link_.followWith(QStringLiteral("re-read %1").arg(tab), tab,
                         [this, tab] { family_.scanSeries().RequeryLevelPage(tab); });
}

void LevelReplies::identification(int tab, const LevelAnswer& a) {
    beep();
    family_.page(tab).SensorIDList->addItems(a.identification);
    unlock(tab);
}

void LevelReplies::measurement(int tab, const LevelAnswer& a, bool offset) {
    const auto t = static_cast<size_t>(tab);
    if (offset) {
        OffsetWait[t] = static_cast<qint16>(a.wait);
        OffsetCount[t] = static_cast<qint16>(a.count);
    } else {
        MeasureWait[t] = static_cast<qint16>(a.wait - 1);
        MeasureCount[t] = static_cast<qint16>(a.count);
    }
    awaitData(tab, a.wait);
}

void LevelReplies::awaitData(int tab, int waitSeconds) {
    // The data are asked for when the sensor's service request comes, or at the latest the
    // command time-out after the announced time, never earlier: asked for early, a sensor
    // gives up its measurement. A wait of 000 announces no wait at all.
    if (waitSeconds > 0)
        link_.awaitServiceRequest(waitSeconds);
    else
        link_.requestDataAfterPause(tab);
}

void LevelReplies::data(int tab, const LevelAnswer& a) {
    if (!a.hasValues) {
        // Nothing to log and nothing to show.
        unlock(tab);
        return;
    }
    LevelPage& pg = family_.page(tab);
    family_.logger().AddLogRow(tab, a.first, pg.PressUnitsCombo->text(), a.second,
                               pg.TempUnitsCombo->text());
    setColumn(tab, Pressure, a.first);
    setColumn(tab, Temperature, a.second);
    pg.PressureText->setText(a.first);
    unlock(tab);
}

void LevelReplies::localOffset(int tab, qint16 code, const LevelAnswer& a) {
    beep();
    if (!a.flag || (*a.flag != 0 && *a.flag != 1)) {
        dialogs_.messageBox(QStringLiteral("SDI12 Message Error."),
                            QStringLiteral("Invalid Local Offset value."),
                            platform::Dialogs::Icon::Exclamation);
    } else {
        // A change of the box's value sends it on, as a click would (unless guarded).
        family_.page(tab).LocalOffsetCheck->setChecked(*a.flag == 1);
    }
    if (code == 22 && !family_.LocalOffsetEchoGuard && !family_.calibration().Calibrate_Flag)
        measure(tab);
    else
        unlock(tab);
    family_.LocalOffsetEchoGuard = false;
}

void LevelReplies::filter(int tab, qint16 code, const LevelAnswer& a) {
    beep();
    family_.page(tab).SampleRateText->setText(a.sampleRate + (a.sampleRate == QLatin1String("1")
                                                                  ? QStringLiteral(" Second")
                                                                  : QStringLiteral(" Seconds")));
    family_.filter().showFilter(a);
    if (code == 27)
        family_.FillLogPeriods(tab);
    unlock(tab);
}

} // namespace levelprobe
