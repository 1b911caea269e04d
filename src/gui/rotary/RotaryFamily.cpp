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

RotaryFamily::RotaryFamily(std::array<RotaryPage*, 10> pages, widgets::WindowControls window,
                           logging::Logger& logger, sdilink::Link& link, platform::Dialogs& dialogs,
                           QTreeWidget* RotaryListView)
    : pages_(pages), window_(window), logger_(logger), link_(link), listView_(RotaryListView),
      view_(pages, RotaryListView), commands_(*this, link, dialogs), replies_(*this, link),
      scanSeries_(*this) {
    for (int p = 0; p < static_cast<int>(pages_.size()); ++p) {
        commands_.connectPage(p);
        // The maximum range and the logging period are the page's own settings.
        RotaryPage& pg = page(p);
        widgets::DropDown* periods = pg.RotaryLogPeriodCombo;
        const auto keep = [this, p] {
            record(p).maxRange = page(p).RotaryMaxRangeText->text();
            record(p).logPeriod = page(p).RotaryLogPeriodCombo->text();
        };
        keep();
        QObject::connect(pg.RotaryMaxRangeText, &QLineEdit::textChanged, periods, keep);
        QObject::connect(periods, &widgets::DropDown::currentTextChanged, periods, keep);
    }
}

void RotaryFamily::clearField(int p, RotaryField field) {
    record(p).clear(field);
    show(p, field);
}

void RotaryFamily::forget(int p) {
    RotaryRecord& r = record(p);
    RotaryRecord kept;
    kept.maxRange = r.maxRange;
    kept.logPeriod = r.logPeriod;
    r = kept;
    view_.showAll(p, r);
    widgets::clearRowTexts(listView_, p);
}

bool RotaryFamily::decodeReply(const sdilink::Transaction& transaction,
                               const protocol::ReplyLine& line) {
    return replies_.decode(transaction, line);
}

void RotaryFamily::MoveRotaryPage(int p, int q) {
    RotaryPage& from = page(p);
    from.RotaryAddressCombo->setText(QStringLiteral("Select....."));
    // The logging periods stay with their pages.
    const QString periods[] = {record(p).logPeriod, record(q).logPeriod};
    record(q) = std::exchange(record(p), RotaryRecord{});
    record(p).logPeriod = periods[0];
    record(q).logPeriod = periods[1];
    view_.showAll(q, record(q));
    view_.showAll(p, record(p));
    widgets::setCell(listView_, q, RotaryColumn::LogStatus,
                     widgets::cell(listView_, p, RotaryColumn::LogStatus));
    widgets::clearRowTexts(listView_, p);

    window_.SensorTab->setTabEnabled(q, true);
    window_.SensorTab->setTabEnabled(p, false);
    window_.SensorTab->setCurrentIndex(q);

    logger_.moveLog(p, q);
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
    if (logger_.state().loggingPage)
        page(*logger_.state().loggingPage).RotaryStopLogBut->setEnabled(true);
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
    if (logger_.state().loggingPage) {
        for (RotaryPage* other : pages_)
            setEnabled(
                {other->RotaryAddrBut, other->RotaryStartLogBut, other->RotaryLogPeriodCombo},
                false);
    }
}

} // namespace rotary
