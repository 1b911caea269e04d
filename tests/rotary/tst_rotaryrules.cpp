#include "RotaryFixture.h"
#include "core/logging/LoggingState.h"
#include "gui/rotary/RotaryFamily.h"
#include "gui/rotary/RotaryPage.h"
#include "gui/widgets/DropDown.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using rotary::RotaryFamily;
using rotary::RotaryPage;

class RotaryRulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void lockAndUnlock();
    void loggingSensorRules();

private:
    std::unique_ptr<RotaryFixture> fixture;
    QTabWidget* tabs = nullptr;
    std::array<RotaryPage*, 10> pages{};
    QPushButton* scan = nullptr;
    std::array<QAction*, 4> menus{};
    logging::LoggingState* logging = nullptr;
    RotaryFamily* family = nullptr;
};

void RotaryRulesTest::init() {
    fixture = std::make_unique<RotaryFixture>();
    tabs = fixture->tabs.get();
    pages = fixture->pages;
    scan = fixture->scan.get();
    menus = fixture->menus;
    // The rules read the logger's state; the test sets it directly.
    logging = const_cast<logging::LoggingState*>(&fixture->logger->state());
    family = fixture->family.get();
}

void RotaryRulesTest::cleanup() {
    fixture.reset();
}

void RotaryRulesTest::lockAndUnlock() {
    RotaryPage* pg = pages[3];
    const QList<QWidget*> locked{pg->RotaryAddrBut,
                                 pg->RotaryCountsPerRevBut,
                                 pg->RotaryMeasurementUnitsBut,
                                 pg->RotaryPulleyCircumBut,
                                 pg->RotaryDirectionBut,
                                 pg->RotarySetZeroBut,
                                 pg->RotaryCurrentValueBut,
                                 pg->RotaryStartLogBut,
                                 pg->RotaryIDQueryBut,
                                 pg->RotaryAddressCombo,
                                 pg->RotaryMaxRangeText,
                                 pg->RotaryCountsPerRevText,
                                 pg->RotaryMeasurementResText,
                                 pg->RotaryMeasurementUnitsCombo,
                                 pg->RotaryPulleyCircumText,
                                 pg->RotaryDirectionCombo,
                                 pg->RotaryCurrentValueText,
                                 pg->RotaryLogPeriodCombo,
                                 pg->RotarySensorIDList,
                                 pg->RotaryStopLogBut};
    family->LockRotaryPage(3);
    for (QWidget* w : locked)
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(!scan->isEnabled());
    for (QAction* m : menus)
        QVERIFY(!m->isEnabled());
    // The query buttons and the unlock query stay usable, as does the tab control.
    for (QWidget* w : {pg->QueryRotaryCountsPerRevBut, pg->QueryRotaryDirectionBut,
                       pg->QueryRotaryMeasurementUnitsBut, pg->QueryRotaryPulleyCircumfBut,
                       pg->QueryRotaryCurrentValueBut, pg->RotaryUnlockQueryBut})
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(tabs->isEnabled());

    tabs->setEnabled(false);
    family->UnlockRotaryPage(3);
    for (QWidget* w : locked)
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(tabs->isEnabled());
    QVERIFY(scan->isEnabled());
}

void RotaryRulesTest::loggingSensorRules() {
    logging->loggingPage = 2;
    pages[2]->RotaryStopLogBut->setEnabled(false);
    family->LockRotaryPage(5);
    QVERIFY(pages[2]->RotaryStopLogBut->isEnabled());
    QVERIFY(!pages[5]->RotaryAddrBut->isEnabled());
    family->UnlockRotaryPage(5);
    for (RotaryPage* pg : pages) {
        QVERIFY(!pg->RotaryAddrBut->isEnabled());
        QVERIFY(!pg->RotaryStartLogBut->isEnabled());
        QVERIFY(!pg->RotaryLogPeriodCombo->isEnabled());
    }
    QVERIFY(pages[5]->RotaryStopLogBut->isEnabled());
}

QTEST_MAIN(RotaryRulesTest)
#include "tst_rotaryrules.moc"
