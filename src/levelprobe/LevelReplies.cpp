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

void LevelReplies::apply(int tab, Code code, const LevelAnswer& a) {
    LevelPage& pg = family_.page(tab);
    const bool calibrating = family_.calibration().Calibrate_Flag;
    switch (code) {
    case Code::AddressChange:
        addressChange(tab, a);
        break;
    case Code::PressUnitsQuery:
    case Code::PressUnitsSet:
        pressureUnits(tab, code, a);
        break;
    case Code::TempUnitsQuery:
    case Code::TempUnitsSet:
        beep();
        pg.TempUnitsCombo->selectOrBlank(a.listCode);
        setColumn(tab, TemperatureUnits, pg.TempUnitsCombo->text());
        code == Code::TempUnitsQuery ? unlock(tab) : measure(tab);
        break;
    case Code::DensityCorrQuery:
    case Code::DensityCorrSet:
        beep();
        pg.DensityCorrCombo->selectOrBlank(a.listCode);
        setColumn(tab, DensityCorrection, pg.DensityCorrCombo->text());
        if (code == Code::DensityCorrQuery || calibrating)
            unlock(tab);
        else
            measure(tab);
        break;
    case Code::LocalGravityQuery:
    case Code::LocalGravitySet:
        beep();
        pg.LocalGravityText->setText(a.text);
        setColumn(tab, LocalGravity, a.text);
        code == Code::LocalGravityQuery ? unlock(tab) : measure(tab);
        break;
    case Code::Identification:
        identification(tab, a);
        break;
    case Code::Measure:
        measurement(tab, a, false);
        break;
    case Code::Data:
        data(tab, a);
        break;
    case Code::RangeQuery:
    case Code::RangeSet:
        beep();
        pg.RangeText->setText(a.text);
        unlock(tab);
        break;
    case Code::MaxOverRangeQuery:
    case Code::MaxOverRangeSet:
        beep();
        pg.MaxOverRangeText->setText(a.text);
        unlock(tab);
        break;
    case Code::ReverseQuery:
    case Code::ReverseSet:
        beep();
        pg.ReverseCombo->selectOrBlank(a.listCode);
        unlock(tab);
        if (code == Code::ReverseSet && !calibrating)
            measure(tab);
        break;
    case Code::LevelQuery:
    case Code::LevelSet:
        beep();
        pg.LevelText->setText(a.text);
        if (code == Code::LevelQuery || calibrating)
            unlock(tab);
        else
            measure(tab);
        break;
    case Code::LocalOffsetQuery:
    case Code::LocalOffsetSet:
        localOffset(tab, code, a);
        break;
    case Code::UnlockQuery:
    case Code::UnlockSet:
        beep();
        // A change of the box's value sends it on, as a click would; an answer that is no
        // digit leaves the box as it is.
        if (a.flag)
            pg.UnlockCheck->setChecked(*a.flag != 0);
        unlock(tab);
        break;
    case Code::SerialNumberQuery:
        beep();
        setColumn(tab, SerialNo, a.text);
        unlock(tab);
        break;
    case Code::FilterQuery:
    case Code::FilterSet:
        filter(tab, code, a);
        break;
    case Code::AutoZero:
    case Code::LevelOffset:
        measurement(tab, a, true);
        break;
    case Code::SpecificGravitySet:
        beep();
        pg.SGText->setText(a.text);
        if (!calibrating)
            measure(tab);
        break;
    case Code::SpecificGravityQuery:
        pg.SGText->setText(a.text);
        break;
    case Code::TrimOff:
        beep();
        if (family_.calibration().UpdateReadings_Flag) {
            family_.calibration().UpdateReadings_Flag = false;
            measure(tab);
        }
        break;
    case Code::ZeroCorrectionQuery:
        pg.ZeroCalibrationText->setText(a.text);
        break;
    case Code::SlopeQuery:
        pg.SlopeCalibrationText->setText(a.text);
        break;
    default: // TrimOn, ZeroCorrectionSet, SlopeSet, XU1Set, CalibrationOn: nothing to show
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

void LevelReplies::pressureUnits(int tab, Code code, const LevelAnswer& a) {
    beep();
    widgets::DropDown* units = family_.page(tab).PressUnitsCombo;
    showUnit(units, a.listCode);
    setColumn(tab, PressureUnits, units->text());
    if (code == Code::PressUnitsQuery)
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

void LevelReplies::localOffset(int tab, Code code, const LevelAnswer& a) {
    beep();
    if (!a.flag || (*a.flag != 0 && *a.flag != 1)) {
        dialogs_.messageBox(QStringLiteral("SDI12 Message Error."),
                            QStringLiteral("Invalid Local Offset value."),
                            platform::Dialogs::Icon::Exclamation);
    } else {
        // A change of the box's value sends it on, as a click would (unless guarded).
        family_.page(tab).LocalOffsetCheck->setChecked(*a.flag == 1);
    }
    if (code == Code::LocalOffsetSet && !family_.LocalOffsetEchoGuard &&
        !family_.calibration().Calibrate_Flag)
        measure(tab);
    else
        unlock(tab);
    family_.LocalOffsetEchoGuard = false;
}

void LevelReplies::filter(int tab, Code code, const LevelAnswer& a) {
    beep();
    family_.page(tab).SampleRateText->setText(a.sampleRate + (a.sampleRate == QLatin1String("1")
                                                                  ? QStringLiteral(" Second")
                                                                  : QStringLiteral(" Seconds")));
    family_.filter().showFilter(a);
    if (code == Code::FilterSet)
        family_.FillLogPeriods(tab);
    unlock(tab);
}

} // namespace levelprobe
