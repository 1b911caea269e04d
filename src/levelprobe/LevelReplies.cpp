#include "LevelReplies.h"

#include "LevelFamily.h"
#include "LevelPage.h"
#include "LogPeriodList.h"
#include "link/Link.h"
#include "logging/Logger.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/DropDown.h"
#include "protocol/ReplyLine.h"

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
    family_.logger().LevelMeasure(tab);
}

void LevelReplies::setColumn(int tab, int column, const QString& text) {
    platform::setRowText(family_.ListView(), tab, column, text);
}

void LevelReplies::showUnit(platform::DropDown* units, std::optional<int> unitCode) {
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
    case 0:
        addressQuery(tab, a);
        break;
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
        handled();
        code == 4 ? unlock(tab) : measure(tab);
        break;
    case 6:
    case 7:
        beep();
        pg.DensityCorrCombo->selectOrBlank(a.listCode);
        setColumn(tab, DensityCorrection, pg.DensityCorrCombo->text());
        handled();
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
        handled();
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
        handled();
        unlock(tab);
        break;
    case 15:
    case 16:
        beep();
        pg.MaxOverRangeText->setText(a.text);
        handled();
        unlock(tab);
        break;
    case 17:
    case 18:
        beep();
        pg.ReverseCombo->selectOrBlank(a.listCode);
        handled();
        unlock(tab);
        if (code == 18 && !calibrating)
            measure(tab);
        break;
    case 19:
    case 20:
        beep();
        pg.LevelText->setText(a.text);
        handled();
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
        handled();
        unlock(tab);
        break;
    case 25:
        beep();
        setColumn(tab, SerialNo, a.text);
        handled();
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
        handled();
        if (!calibrating)
            measure(tab);
        break;
    case 30:
        pg.SGText->setText(a.text);
        handled();
        break;
    case 32:
        beep();
        handled();
        if (family_.calibration().UpdateReadings_Flag) {
            family_.calibration().UpdateReadings_Flag = false;
            measure(tab);
        }
        break;
    case 37:
        pg.ZeroCalibrationText->setText(a.text);
        handled();
        break;
    case 38:
        pg.SlopeCalibrationText->setText(a.text);
        handled();
        break;
    default: // 33-36, 39: nothing to show
        handled();
        break;
    }
}

void LevelReplies::addressQuery(int tab, const LevelAnswer& a) {
    dialogs_.messageBox(QStringLiteral("Query Sensor Address."),
                        QStringLiteral("Sensor Address is ") + a.text + QLatin1Char('.'),
                        platform::Dialogs::Icon::Exclamation);
    unlock(tab);
}

void LevelReplies::addressChange(int tab, const LevelAnswer& a) {
    beep();
    if (a.oldAddress >= 0 && a.newAddress >= 0 && a.oldAddress != a.newAddress) {
        family_.MoveLevelPage(a.oldAddress, a.newAddress);
        unlock(a.newAddress);
    } else {
        unlock(tab);
    }
}

void LevelReplies::pressureUnits(int tab, qint16 code, const LevelAnswer& a) {
    beep();
    platform::DropDown* units = family_.page(tab).PressUnitsCombo;
    showUnit(units, a.listCode);
    setColumn(tab, PressureUnits, units->text());
    handled();
    if (code == 2)
        unlock(tab);
    else
        family_.scanSeries().RequeryLevelPage(tab);
}

void LevelReplies::identification(int tab, const LevelAnswer& a) {
    beep();
    family_.page(tab).SensorIDList->addItems(a.identification);
    handled();
    unlock(tab);
}

void LevelReplies::measurement(int tab, const LevelAnswer& a, bool offset) {
    const auto t = static_cast<size_t>(tab);
    qint16 wait = 0;
    if (offset) {
        OffsetWait[t] = static_cast<qint16>(a.wait);
        OffsetCount[t] = static_cast<qint16>(a.count);
        wait = OffsetWait[t];
        pending_[t] = {};
    } else {
        MeasureWait[t] = static_cast<qint16>(a.wait - 1);
        MeasureCount[t] = static_cast<qint16>(a.count);
        // A wait of 000 announces no wait at all: ask for the data straight away instead of
        // waiting for a service request that will not come.
        wait = MeasureWait[t] < 0 ? 0 : MeasureWait[t];
        pending_[t] = {link_.elapsedMs(), a.wait, false};
    }
    awaitData(tab, wait != 0 ? a.wait : 0);
}

void LevelReplies::awaitData(int tab, int waitSeconds) {
    if (waitSeconds != 0) {
        link_.awaitServiceRequest(waitSeconds);
        return;
    }
    link_.sleep(link_.timings().DataTimeout);
    link_.sendDataRequest(tab);
}

void LevelReplies::data(int tab, const LevelAnswer& a) {
    if (!a.hasValues) {
        // Asked before the announced measurement time was over: the sensor had nothing yet.
        // Wait for its service request or the rest of that time, then ask once more.
        PendingMeasurement& m = pending_.at(static_cast<size_t>(tab));
        const qint64 rest = qint64(m.waitSeconds) * 1000 - (link_.elapsedMs() - m.answeredAt);
        if (m.waitSeconds >= 1 && !m.askedAgain && rest > 0) {
            m.askedAgain = true;
            link_.awaitServiceRequestWithin(static_cast<int>(rest));
            return;
        }
        // Nothing to log and nothing to show.
        handled();
        unlock(tab);
        return;
    }
    LevelPage& pg = family_.page(tab);
    family_.logger().AddLogRow(tab, a.first, pg.PressUnitsCombo->text(), a.second,
                               pg.TempUnitsCombo->text());
    setColumn(tab, Pressure, a.first);
    setColumn(tab, Temperature, a.second);
    pg.PressureText->setText(a.first);
    handled();
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
    handled();
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
    handled();
    if (code == 27)
        family_.FillLogPeriods(tab);
    unlock(tab);
}

} // namespace levelprobe
