#include "RotaryFamily.h"

#include "RotaryAnswer.h"
#include "RotaryPage.h"
#include "logging/Logger.h"
#include "widgets/Controls.h"
#include "widgets/DropDown.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

namespace rotary {

using widgets::setEnabled;

RotaryFamily::RotaryFamily(std::array<RotaryPage*, 10> pages, widgets::WindowControls window,
                           logging::Logger& logger, sdilink::Link& link, platform::Dialogs& dialogs,
                           QTreeWidget* RotaryListView)
    : pages_(pages), window_(window), logger_(logger), link_(link), listView_(RotaryListView),
      commands_(*this, link, dialogs), replies_(*this, link), scanSeries_(*this) {
    for (int p = 0; p < static_cast<int>(pages_.size()); ++p)
        commands_.connectPage(p);
}

bool RotaryFamily::decodeReply(const sdilink::Transaction& transaction,
                               const protocol::ReplyLine& line) {
    return replies_.decode(transaction, line);
}

void RotaryFamily::calculateMeasurementRes(int i) {
    RotaryPage& pg = page(i);
    pg.RotaryMeasurementResText->setText(measurementResolution(
        pg.RotaryMeasurementUnitsCombo->currentIndex(), pg.RotaryPulleyCircumText->text(),
        pg.RotaryCountsPerRevText->text()));
}

void RotaryFamily::MoveRotaryPage(int p, int q) {
    RotaryPage& from = page(p);
    RotaryPage& to = page(q);
    from.RotaryAddressCombo->setText(QStringLiteral("Select....."));
    for (auto text : {&RotaryPage::RotaryMaxRangeText, &RotaryPage::RotaryCountsPerRevText,
                      &RotaryPage::RotaryMeasurementResText})
        (to.*text)->setText((from.*text)->text());
    to.RotaryMeasurementUnitsCombo->setCurrentIndex(
        from.RotaryMeasurementUnitsCombo->currentIndex());
    to.RotaryPulleyCircumText->setText(from.RotaryPulleyCircumText->text());
    to.RotaryDirectionCombo->setCurrentIndex(from.RotaryDirectionCombo->currentIndex());
    to.RotaryCurrentValueText->setText(from.RotaryCurrentValueText->text());

    for (int i = 0; i < from.RotarySensorIDList->count(); ++i)
        to.RotarySensorIDList->addItem(from.RotarySensorIDList->item(i)->text());
    from.RotarySensorIDList->clear();

    window_.SensorTab->setTabEnabled(q, true);
    window_.SensorTab->setTabEnabled(p, false);
    window_.SensorTab->setCurrentIndex(q);

    logger_.moveLog(p, q);

    if (QTreeWidgetItem* source = listView_->topLevelItem(p)) {
        if (QTreeWidgetItem* target = listView_->topLevelItem(q))
            for (int c = 1; c <= 6; ++c)
                target->setText(c, source->text(c));
    }
    widgets::clearRowTexts(listView_, p);
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

void RotaryFamily::onAddressSet(AddressSet set) {
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
