#include "RotaryPage.h"

#include "core/rotary/RotaryRecord.h"
#include "gui/logging/LogPages.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/DropDown.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace rotary {

using widgets::makeButton;
using widgets::makeDropDown;
using widgets::makeTextBox;

RotaryPage::RotaryPage(QWidget* parent)
    : QGroupBox(QStringLiteral("Set Parameters"), parent), RotaryEncoderFrame(this) {
    setObjectName(QStringLiteral("RotaryEncoderFrame"));
    const QString set = QStringLiteral("Set");
    const QString query = QStringLiteral("Query");
    const QString select = QStringLiteral("Select.....");

    const QString address = QStringLiteral("Sensor Address :");
    RotaryAddressCombo =
        makeDropDown(this, "RotaryAddressCombo", address, QStringLiteral("Select Sensor Address."));
    for (int a = 0; a <= 9; ++a)
        RotaryAddressCombo->addEntry(QString::number(a), a);
    RotaryAddressCombo->setText(select);
    RotaryAddrBut =
        makeButton(this, "RotaryAddrBut", set, address, QStringLiteral("Set Sensor Address."));

    const QString details = QStringLiteral("Sensor Details :");
    RotarySensorIDList = widgets::makeListBox(this, "RotarySensorIDList", details);
    RotarySensorIDList->setFixedHeight(76);
    RotaryIDQueryBut = makeButton(this, "RotaryIDQueryBut", query, details,
                                  QStringLiteral("Query Sensor Details."));

    const QString counts = QStringLiteral("Counts Per Rev :");
    RotaryCountsPerRevText = makeTextBox(this, "RotaryCountsPerRevText", counts);
    RotaryCountsPerRevBut = makeButton(this, "RotaryCountsPerRevBut", set, counts);
    QueryRotaryCountsPerRevBut = makeButton(this, "QueryRotaryCountsPerRevBut", query, counts);

    const QString direction = QStringLiteral("Rotation Direction :");
    RotaryDirectionCombo = makeDropDown(this, "RotaryDirectionCombo", direction,
                                        QStringLiteral("Select Rotation Direction."));
    for (int i = 0; i < directionNames().size(); ++i)
        RotaryDirectionCombo->addEntry(directionNames().at(i), i);
    RotaryDirectionCombo->setText(select);
    RotaryDirectionBut = makeButton(this, "RotaryDirectionBut", set, direction,
                                    QStringLiteral("Set Rotation Direction."));
    QueryRotaryDirectionBut = makeButton(this, "QueryRotaryDirectionBut", query, direction,
                                         QStringLiteral("Query Rotation Direction."));

    const QString units = QStringLiteral("Measurement Units :");
    RotaryMeasurementUnitsCombo = makeDropDown(this, "RotaryMeasurementUnitsCombo", units,
                                               QStringLiteral("Select Measurement Units."));
    for (int i = 0; i < unitNames().size(); ++i)
        RotaryMeasurementUnitsCombo->addEntry(unitNames().at(i), i);
    RotaryMeasurementUnitsCombo->setText(select);
    RotaryMeasurementUnitsBut = makeButton(this, "RotaryMeasurementUnitsBut", set, units,
                                           QStringLiteral("Set Measurement Units."));
    QueryRotaryMeasurementUnitsBut = makeButton(this, "QueryRotaryMeasurementUnitsBut", query,
                                                units, QStringLiteral("Query Measurement Units."));

    const QString pulley = QStringLiteral("Pulley Circumf (mm) :");
    RotaryPulleyCircumText = makeTextBox(this, "RotaryPulleyCircumText", pulley);
    RotaryPulleyCircumBut = makeButton(this, "RotaryPulleyCircumBut", set, pulley,
                                       QStringLiteral("Set Pulley Circumference."));
    QueryRotaryPulleyCircumfBut = makeButton(this, "QueryRotaryPulleyCircumfBut", query, pulley,
                                             QStringLiteral("Query Pulley Circumference."));

    const QString resolution = QStringLiteral("Measurement Res :");
    RotaryMeasurementResText = makeTextBox(this, "RotaryMeasurementResText", resolution);

    const QString current = QStringLiteral("Set Current Value :");
    RotaryCurrentValueText =
        makeTextBox(this, "RotaryCurrentValueText", current, QStringLiteral("Set Current Value."));
    RotaryCurrentValueBut = makeButton(this, "RotaryCurrentValueBut", set, current,
                                       QStringLiteral("Set Output to Current Value."));
    QueryRotaryCurrentValueBut = makeButton(this, "QueryRotaryCurrentValueBut", query, current,
                                            QStringLiteral("Query Current Value."));

    const QString zero = QStringLiteral("Set Output to Zero :");
    RotarySetZeroBut =
        makeButton(this, "RotarySetZeroBut", set, zero, QStringLiteral("Set Output to Zero."));

    const QString maxRange = QStringLiteral("Maximum Range :");
    RotaryMaxRangeText = makeTextBox(this, "RotaryMaxRangeText", maxRange);

    RotaryUnlockQueryBut = makeButton(this, "RotaryUnlockQueryBut", QStringLiteral("Unlock"), {},
                                      QStringLiteral("Query Sensor Lock status."));

    const QString period = QStringLiteral("Logging Period :");
    RotaryLogPeriodCombo =
        makeDropDown(this, "RotaryLogPeriodCombo", period, logging::kLogPeriodToolTip);
    logging::fillLogPeriodList(*RotaryLogPeriodCombo, logging::allLogPeriods());
    RotaryStartLogBut = makeButton(this, "RotaryStartLogBut", QStringLiteral("Start Log"), {},
                                   QStringLiteral("Start Logging."));
    RotaryStopLogBut = makeButton(this, "RotaryStopLogBut", QStringLiteral("Stop Log"), {},
                                  QStringLiteral("Stop Logging"));

    // Two columns of groups: identity and geometry on the left, output and logging on the
    // right.
    auto* grid = new QGridLayout(this);
    widgets::GridRows left(grid, 0);
    left.add(address, RotaryAddressCombo, RotaryAddrBut);
    left.add(details, RotarySensorIDList, RotaryIDQueryBut);
    left.add(counts, RotaryCountsPerRevText, RotaryCountsPerRevBut, QueryRotaryCountsPerRevBut);
    // The resolution counts four edges per line of the encoder.
    left.add(QStringLiteral("Counts Per Rev:"), new QLabel(QStringLiteral("x4")));
    left.add(direction, RotaryDirectionCombo, RotaryDirectionBut, QueryRotaryDirectionBut);
    left.add(units, RotaryMeasurementUnitsCombo, RotaryMeasurementUnitsBut,
             QueryRotaryMeasurementUnitsBut);
    left.add(pulley, RotaryPulleyCircumText, RotaryPulleyCircumBut, QueryRotaryPulleyCircumfBut);
    grid->setColumnMinimumWidth(4, 16);
    widgets::GridRows right(grid, 5);
    right.add(resolution, RotaryMeasurementResText);
    right.add(current, RotaryCurrentValueText, RotaryCurrentValueBut, QueryRotaryCurrentValueBut);
    right.add(zero, nullptr, RotarySetZeroBut);
    right.add(maxRange, RotaryMaxRangeText);
    right.add({}, nullptr, RotaryUnlockQueryBut);
    right.add(period, RotaryLogPeriodCombo, RotaryStartLogBut, RotaryStopLogBut);
    grid->setRowStretch(std::max(left.rows(), right.rows()), 1);
}

} // namespace rotary
