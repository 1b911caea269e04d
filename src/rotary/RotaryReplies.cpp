#include "RotaryReplies.h"

#include "RotaryFamily.h"
#include "RotaryPage.h"
#include "link/Link.h"
#include "logging/Logger.h"
#include "widgets/Controls.h"
#include "widgets/DropDown.h"

#include <QLineEdit>
#include <QListWidget>

namespace rotary {

namespace {

// Sensor-list columns of an encoder.
enum Column { SerialNo = 1, Level = 2, Units = 3, PulleyCircum = 4, Direction = 5 };

} // namespace

RotaryReplies::RotaryReplies(RotaryFamily& family, sdilink::Link& link)
    : ReplySteps(link), family_(family) {}

void RotaryReplies::unlock(int tab) {
    // Never while a request this reply started is still out.
    if (!followUpInFlight())
        family_.UnlockRotaryPage(tab);
}

void RotaryReplies::measure(int tab) {
    family_.logger().Measure(tab);
}

void RotaryReplies::setColumn(int tab, int column, const QString& text) {
    widgets::setRowText(family_.RotaryListView(), tab, column, text);
}

bool RotaryReplies::decode(const sdilink::Transaction& transaction,
                           const protocol::ReplyLine& line) {
    const RotaryAnswer answer = readRotaryAnswer(transaction.code, line);
    if (!answer.known)
        return false;
    apply(transaction.page, transaction.code, answer);
    return true;
}

void RotaryReplies::apply(int tab, Code code, const RotaryAnswer& a) {
    RotaryPage& pg = family_.page(tab);
    switch (code) {
    case Code::RotaryAddressChange:
        beep();
        if (a.oldAddress >= 0 && a.newAddress >= 0 && a.oldAddress != a.newAddress) {
            family_.MoveRotaryPage(a.oldAddress, a.newAddress);
            unlock(a.newAddress);
        } else {
            unlock(tab);
        }
        break;
    case Code::RotaryUnitsQuery:
    case Code::RotaryUnitsSet:
        beep();
        pg.RotaryMeasurementUnitsCombo->selectOrBlank(a.listIndex);
        setColumn(tab, Units, pg.RotaryMeasurementUnitsCombo->text());
        if (code == Code::RotaryUnitsQuery) {
            unlock(tab);
        } else {
            family_.calculateMeasurementRes(tab);
            measure(tab);
        }
        break;
    case Code::RotaryCircumferenceQuery:
    case Code::RotaryCircumferenceSet:
        beep();
        pg.RotaryPulleyCircumText->setText(a.text);
        setColumn(tab, PulleyCircum, pg.RotaryPulleyCircumText->text());
        if (code == Code::RotaryCircumferenceQuery) {
            unlock(tab);
        } else {
            family_.calculateMeasurementRes(tab);
            measure(tab);
        }
        break;
    case Code::RotaryDirectionQuery:
    case Code::RotaryDirectionSet:
        beep();
        pg.RotaryDirectionCombo->selectOrBlank(a.listIndex);
        setColumn(tab, Direction, pg.RotaryDirectionCombo->text());
        code == Code::RotaryDirectionQuery ? unlock(tab) : measure(tab);
        break;
    case Code::RotaryCountsQuery:
        beep();
        pg.RotaryCountsPerRevText->setText(a.text);
        family_.calculateMeasurementRes(tab);
        unlock(tab);
        break;
    case Code::RotaryCurrentValueQuery:
    case Code::RotaryCurrentValueSet:
        beep();
        pg.RotaryCurrentValueText->setText(a.text);
        code == Code::RotaryCurrentValueQuery ? unlock(tab) : measure(tab);
        break;
    case Code::RotaryIdentification:
        beep();
        pg.RotarySensorIDList->addItems(a.identification);
        unlock(tab);
        break;
    case Code::RotarySerialNumberQuery:
        beep();
        setColumn(tab, SerialNo, a.text);
        unlock(tab);
        break;
    case Code::RotarySetZero:
        beep();
        pg.RotaryCurrentValueText->setText(QStringLiteral("0.000"));
        measure(tab);
        break;
    case Code::RotaryMeasure: {
        const auto t = static_cast<size_t>(tab);
        MeasureWait[t] = static_cast<qint16>(a.wait);
        MeasureCount[t] = static_cast<qint16>(a.count);
        // A concurrent measurement: the encoder sends no service request of its own, so the
        // data is asked for when the announced time has passed (or at once), or earlier
        // should a service request come all the same.
        if (a.wait != 0)
            link_.awaitServiceRequestWithin(a.wait * 1000);
        else
            link_.sendDataRequest(tab);
        break;
    }
    case Code::RotaryData:
        if (!a.text.trimmed().isEmpty()) {
            family_.logger().AddLogRow(tab, a.text, pg.RotaryMeasurementUnitsCombo->text());
            setColumn(tab, Level, a.text);
            pg.RotaryCurrentValueText->setText(a.text);
        }
        unlock(tab);
        break;
    default:
        return;
    }
}

} // namespace rotary
