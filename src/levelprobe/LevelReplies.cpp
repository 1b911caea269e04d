#include "LevelReplies.h"

#include "LevelFamily.h"
#include "LevelPage.h"
#include "link/Link.h"
#include "platform/Dialogs.h"
#include "platform/DropDown.h"
#include "platform/Numbers.h"
#include "protocol/ReplyLine.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>
#include <algorithm>

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

// Selects an entry by index; an index the list does not have leaves it as it is.
void selectIndex(platform::DropDown* list, int index) {
    if (index >= 0 && index < list->count())
        list->setCurrentIndex(index);
}

} // namespace

LevelReplies::LevelReplies(LevelFamily& family, sdilink::Link& link, platform::Dialogs& dialogs)
    : family_(family), link_(link), dialogs_(dialogs) {}

void LevelReplies::handled() {
    link_.setReplyStatus(sdilink::Link::Handled);
}

void LevelReplies::beep() {
    if (link_.BeepOnReply)
        link_.beep();
}

void LevelReplies::unlock(int tab) {
    family_.UnlockLevelPage(tab);
}

void LevelReplies::measure(int tab) {
    if (family_.hooks().LevelMeasure)
        family_.hooks().LevelMeasure(tab);
}

void LevelReplies::setColumn(int tab, int column, const QString& text) {
    if (QTreeWidgetItem* row = family_.ListView()->topLevelItem(tab))
        row->setText(column, text);
}

QString LevelReplies::rounded(const QString& value, int places) {
    const std::optional<double> number = protocol::parseNumber(value);
    return number ? protocol::plainNumberText(protocol::RoundIt(*number, places)) : value;
}

QString LevelReplies::specificGravity(const QString& reciprocal) {
    const std::optional<double> v = protocol::parseNumber(reciprocal);
    if (!v || *v == 0.0)
        return reciprocal;
    return protocol::plainNumberText(protocol::RoundIt(1.0 / *v, 6));
}

bool LevelReplies::decode(int tab, qint16 code, const ReplyLine& line) {
    LevelPage& pg = family_.page(tab);
    const int p = line.p();
    const bool calibrating = family_.calibration().Calibrate_Flag;
    switch (code) {
    case 0:
        addressQuery(tab, line);
        break;
    case 1:
        addressChange(tab, line);
        break;
    case 2:
    case 3:
        pressureUnits(tab, code, line);
        break;
    case 4:
    case 5:
        beep();
        selectIndex(pg.TempUnitsCombo, line.digitAt(p + 2));
        setColumn(tab, TemperatureUnits, pg.TempUnitsCombo->text());
        handled();
        code == 4 ? unlock(tab) : measure(tab);
        break;
    case 6:
    case 7:
        beep();
        selectIndex(pg.DensityCorrCombo, line.digitAt(p + 2));
        setColumn(tab, DensityCorrection, pg.DensityCorrCombo->text());
        handled();
        if (code == 6)
            unlock(tab);
        else if (!calibrating)
            measure(tab);
        break;
    case 8:
    case 9:
        beep();
        pg.LocalGravityText->setText(line.signedText());
        setColumn(tab, LocalGravity, line.signedText());
        handled();
        code == 8 ? unlock(tab) : measure(tab);
        break;
    case 10:
        identification(tab, line);
        break;
    case 11:
        measurement(tab, line, false);
        break;
    case 12:
        data(tab, line);
        break;
    case 13:
    case 14:
        beep();
        pg.RangeText->setText(rounded(line.signedText(), 4));
        handled();
        unlock(tab);
        break;
    case 15:
    case 16:
        beep();
        pg.MaxOverRangeText->setText(rounded(line.signedText(), 4));
        handled();
        unlock(tab);
        break;
    case 17:
    case 18:
        beep();
        selectIndex(pg.ReverseCombo, line.digitAt(p + 2));
        handled();
        unlock(tab);
        if (code == 18 && !calibrating)
            measure(tab);
        break;
    case 19:
    case 20:
        beep();
        pg.LevelText->setText(rounded(line.signedText(), 4));
        handled();
        if (code == 19)
            unlock(tab);
        else if (!calibrating)
            measure(tab);
        break;
    case 21:
    case 22:
        localOffset(tab, code, line);
        break;
    case 23:
    case 24:
        beep();
        // A change of the box's value sends it on, as a click would.
        pg.UnlockCheck->setChecked(line.digitAt(p + 2) != 0);
        handled();
        unlock(tab);
        break;
    case 25:
        beep();
        setColumn(tab, SerialNo, line.from(p + 2));
        handled();
        unlock(tab);
        break;
    case 26:
    case 27:
        filter(tab, code, line);
        break;
    case 28:
    case 31:
        measurement(tab, line, true);
        break;
    case 29:
        beep();
        pg.SGText->setText(specificGravity(line.signedText()));
        handled();
        if (!calibrating)
            measure(tab);
        break;
    case 30:
        pg.SGText->setText(specificGravity(line.signedText()));
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
    case 33:
    case 34:
    case 35:
    case 36:
    case 39:
        handled();
        break;
    case 37:
        pg.ZeroCalibrationText->setText(line.signedText());
        handled();
        break;
    case 38:
        pg.SlopeCalibrationText->setText(line.signedText());
        handled();
        break;
    default:
        return false;
    }
    return true;
}

void LevelReplies::addressQuery(int tab, const ReplyLine& line) {
    const int lastBang = static_cast<int>(line.text().lastIndexOf(QLatin1Char('!'))) + 1;
    dialogs_.messageBox(QStringLiteral("Query Sensor Address."),
                        QStringLiteral("Sensor Address is ") + line.mid(lastBang + 1, 1) +
                            QLatin1Char('.'),
                        platform::Dialogs::Icon::Exclamation);
    unlock(tab);
}

void LevelReplies::addressChange(int tab, const ReplyLine& line) {
    beep();
    // Both addresses come from the echoed request aAb!.
    const int lastBang = static_cast<int>(line.text().lastIndexOf(QLatin1Char('!'))) + 1;
    const QString from = line.mid(lastBang - 3, 1);
    const QString to = line.mid(lastBang - 1, 1);
    const auto isAddress = [](const QString& a) {
        return a.size() == 1 && a[0] >= QLatin1Char('0') && a[0] <= QLatin1Char('9');
    };
    if (isAddress(from) && isAddress(to) && from != to) {
        const int q = to.toInt();
        family_.MoveLevelPage(from.toInt(), q);
        unlock(q);
    } else {
        unlock(tab);
    }
}

void LevelReplies::pressureUnits(int tab, qint16 code, const ReplyLine& line) {
    beep();
    const int p = line.p();
    int unit = 0;
    if (line.length() == p + 2)
        unit = line.digitAt(p + 2);
    else if (line.length() == p + 3)
        unit = 10 * line.digitAt(p + 2) + line.digitAt(p + 3);
    platform::DropDown* units = family_.page(tab).PressUnitsCombo;
    // The last entry with the code wins; no match leaves the selection as it is.
    for (int i = 0; i < units->count(); ++i)
        if (units->itemCode(i) == unit)
            units->setCurrentIndex(i);
    setColumn(tab, PressureUnits, units->text());
    handled();
    if (code == 2) {
        unlock(tab);
    } else if (family_.hooks().RequeryLevelPage) {
        family_.hooks().RequeryLevelPage(tab);
    } else {
        unlock(tab);
    }
}

void LevelReplies::identification(int tab, const ReplyLine& line) {
    beep();
    const int p = line.p();
    QListWidget* id = family_.page(tab).SensorIDList;
    id->addItem(QStringLiteral("SDI Version = ") + line.mid(p + 2, 1) + QLatin1Char('.') +
                line.mid(p + 3, 1));
    id->addItem(QStringLiteral("Company Name = ") + line.mid(p + 4, 8));
    id->addItem(QStringLiteral("Sensor Model = ") + line.mid(p + 12, 6));
    id->addItem(QStringLiteral("Sensor Version = ") + line.mid(p + 18, 3));
    handled();
    unlock(tab);
}

void LevelReplies::measurement(int tab, const ReplyLine& line, bool offset) {
    const int p = line.p();
    const int ttt = line.digitsAt(p + 2, 3);
    const qint16 n = static_cast<qint16>(line.digitAt(p + 5));
    const auto t = static_cast<size_t>(tab);
    qint16 wait = 0;
    if (offset) {
        OffsetWait[t] = static_cast<qint16>(ttt);
        OffsetCount[t] = n;
        wait = OffsetWait[t];
    } else {
        MeasureWait[t] = static_cast<qint16>(ttt - 1);
        MeasureCount[t] = n;
        // A wait of 000 announces no wait at all: ask for the data straight away instead of
        // waiting for a service request that will not come.
        wait = MeasureWait[t] < 0 ? 0 : MeasureWait[t];
    }
    awaitData(tab, wait != 0 ? ttt : 0);
}

void LevelReplies::awaitData(int tab, int waitSeconds) {
    if (waitSeconds != 0) {
        link_.awaitServiceRequest(waitSeconds);
        return;
    }
    link_.sleep(link_.timings().DataTimeout);
    link_.sendDataRequest(tab);
}

void LevelReplies::data(int tab, const ReplyLine& line) {
    LevelPage& pg = family_.page(tab);
    const protocol::DataValues values = protocol::splitDataAnswer(line.from(line.p() + 2));
    if (family_.hooks().AddLogRow)
        family_.hooks().AddLogRow(tab, values.first, pg.PressUnitsCombo->text(), values.second,
                                  pg.TempUnitsCombo->text());
    setColumn(tab, Pressure, values.first);
    setColumn(tab, Temperature, values.second);
    pg.PressureText->setText(values.first);
    handled();
    unlock(tab);
}

void LevelReplies::localOffset(int tab, qint16 code, const ReplyLine& line) {
    beep();
    const int digit = line.digitAt(line.p() + 2);
    if (digit != 0 && digit != 1) {
        dialogs_.messageBox(QStringLiteral("SDI12 Message Error."),
                            QStringLiteral("Invalid Local Offset value."),
                            platform::Dialogs::Icon::Exclamation);
    } else {
        // A change of the box's value sends it on, as a click would (unless guarded).
        family_.page(tab).LocalOffsetCheck->setChecked(digit == 1);
    }
    handled();
    if (code == 22 && !family_.LocalOffsetEchoGuard && !family_.calibration().Calibrate_Flag)
        measure(tab);
    else
        unlock(tab);
    family_.LocalOffsetEchoGuard = false;
}

void LevelReplies::filter(int tab, qint16 code, const ReplyLine& line) {
    beep();
    const int p = line.p();
    // The answer is a0,nn,mmmm.
    const int readings = 10 * line.digitAt(p + 4) + line.digitAt(p + 5);
    // Four characters hold no more than 9999, unless written with an exponent ("5e51").
    const int interval =
        static_cast<int>(std::clamp(platform::leadingNumber(line.mid(p + 7, 4)), -9999.0, 9999.0));
    const QString rate = protocol::plainNumberText(readings * static_cast<double>(interval) * 0.2);
    family_.page(tab).SampleRateText->setText(rate + (rate == QLatin1String("1")
                                                          ? QStringLiteral(" Second")
                                                          : QStringLiteral(" Seconds")));
    if (family_.hooks().showFilter)
        family_.hooks().showFilter(readings, interval, rate);
    handled();
    if (code == 27 && family_.hooks().FillLogPeriods)
        family_.hooks().FillLogPeriods(tab);
    unlock(tab);
}

} // namespace levelprobe
