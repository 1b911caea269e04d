#include "RotaryFamily.h"

#include "RotaryPage.h"
#include "core/logging/Logger.h"
#include "core/rotary/RotaryAnswer.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/DropDown.h"
#include "gui/widgets/SensorColumns.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

namespace rotary {

using widgets::RotaryColumn;
using widgets::setEnabled;

RotaryFamily::RotaryFamily(RotarySensors& sensors, std::array<RotaryPage*, 10> pages,
                           widgets::WindowControls window, platform::Dialogs& dialogs,
                           QTreeWidget* RotaryListView)
    : sensors_(sensors), pages_(pages), window_(window), listView_(RotaryListView),
      view_(pages, RotaryListView), commands_(*this, sensors.link(), dialogs) {
    for (int p = 0; p < static_cast<int>(pages_.size()); ++p) {
        commands_.connectPage(p);
        // The maximum range and the logging period are the page's own settings.
        RotaryPage& pg = page(p);
        widgets::DropDown* periods = pg.RotaryLogPeriodCombo;
        const auto keep = [this, p] {
            sensors_.record(p).maxRange = page(p).RotaryMaxRangeText->text();
            sensors_.record(p).logPeriod = page(p).RotaryLogPeriodCombo->text();
        };
        keep();
        QObject::connect(pg.RotaryMaxRangeText, &QLineEdit::textChanged, periods, keep);
        QObject::connect(periods, &widgets::DropDown::currentTextChanged, periods, keep);
    }
    followSensors();
}

void RotaryFamily::followSensors() {
    RotarySensors* s = &sensors_;
    QObject::connect(s, &RotarySensors::fieldChanged, listView_, [this](int p, RotaryField field) {
        view_.show(p, sensors_.record(p), field);
    });
    QObject::connect(s, &RotarySensors::recordReplaced, listView_,
                     [this](int p) { view_.showAll(p, sensors_.record(p)); });
    QObject::connect(s, &RotarySensors::rowCleared, listView_,
                     [this](int p) { widgets::clearRowTexts(listView_, p); });
    QObject::connect(s, &RotarySensors::pageLockChanged, listView_, [this](int p, bool locked) {
        locked ? LockRotaryPage(p) : UnlockRotaryPage(p);
    });
    QObject::connect(s, &RotarySensors::presenceChanged, listView_, [this](int p, bool present) {
        widgets::showSensorPresence(window_.SensorTab, p, present);
    });
    QObject::connect(s, &RotarySensors::moved, listView_,
                     [this](int p, int q) { MoveRotaryPage(p, q); });
}

void RotaryFamily::MoveRotaryPage(int p, int q) {
    page(p).RotaryAddressCombo->setText(QStringLiteral("Select....."));
    widgets::setCell(listView_, q, RotaryColumn::LogStatus,
                     widgets::cell(listView_, p, RotaryColumn::LogStatus));
    widgets::clearRowTexts(listView_, p);

    window_.SensorTab->setCurrentIndex(q);
}

void RotaryFamily::setPageControls(int p, bool enabled) {
    RotaryPage& pg = page(p);
    setEnabled({pg.RotaryAddrBut, pg.RotaryCountsPerRevBut, pg.RotaryMeasurementUnitsBut,
                pg.RotaryPulleyCircumBut, pg.RotaryDirectionBut, pg.RotarySetZeroBut,
                pg.RotaryCurrentValueBut, pg.RotaryStartLogBut},
               enabled);
    // The unlock enables the page's Stop Log with the rest; the lock leaves it to the
    // logging rule.
    if (enabled)
        pg.RotaryStopLogBut->setEnabled(true);
    setEnabled({pg.RotaryIDQueryBut, pg.RotaryAddressCombo, pg.RotaryMaxRangeText,
                pg.RotaryCountsPerRevText, pg.RotaryMeasurementResText,
                pg.RotaryMeasurementUnitsCombo, pg.RotaryPulleyCircumText, pg.RotaryDirectionCombo,
                pg.RotaryCurrentValueText, pg.RotaryLogPeriodCombo, pg.RotarySensorIDList},
               enabled);
}

std::optional<int> RotaryFamily::selectedAddress(int p) const {
    return page(p).RotaryAddressCombo->selectedIndex();
}

void RotaryFamily::onAddressSet(std::function<void(int page)> set) {
    for (int p = 0; p <= 9; ++p)
        QObject::connect(page(p).RotaryAddrBut, &QPushButton::clicked, page(p).RotaryAddrBut,
                         [set, p] { set(p); });
}

void RotaryFamily::LockRotaryPage(int p) {
    setPageControls(p, false);
    window_.ScanBut->setEnabled(false);
    setEnabled(
        {window_.mnuCommsPort, window_.mnuQueryAddress, window_.mnuHelp, window_.mnuUserCommand},
        false);
    // The logging sensor's Stop Log stays usable during every transaction.
    if (logger().state().loggingPage)
        page(*logger().state().loggingPage).RotaryStopLogBut->setEnabled(true);
    else
        page(p).RotaryStopLogBut->setEnabled(false);
}

void RotaryFamily::UnlockRotaryPage(int p) {
    setPageControls(p, true);
    window_.SensorTab->setEnabled(true);
    window_.ScanBut->setEnabled(true);
    setEnabled(
        {window_.mnuCommsPort, window_.mnuQueryAddress, window_.mnuHelp, window_.mnuUserCommand},
        true);
    // While a sensor logs, no page can change its address, start a second log or change its
    // period.
    if (logger().state().loggingPage) {
        for (RotaryPage* other : pages_)
            setEnabled(
                {other->RotaryAddrBut, other->RotaryStartLogBut, other->RotaryLogPeriodCombo},
                false);
    }
}

} // namespace rotary
