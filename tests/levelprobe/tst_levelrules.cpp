#include "LevelFixture.h"
#include "core/logging/LoggingState.h"
#include "gui/levelprobe/LevelFamily.h"
#include "gui/levelprobe/LevelPage.h"
#include "gui/widgets/DropDown.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using levelprobe::LevelFamily;
using levelprobe::LevelPage;

class LevelRulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { fixture.reset(); }
    void lockDisablesThePageAndWindowControls();
    void unlockWithoutLogging();
    void stopButtonOfLoggingSensorStaysUsable();
    void calibrationButtonsFollowStageOne();

private:
    QList<QWidget*> lockedControls(int p) const;

    std::unique_ptr<LevelFixture> fixture;
    QTabWidget* tabs = nullptr;
    std::array<LevelPage*, 10> pages{};
    QPushButton* scan = nullptr;
    std::array<QAction*, 6> menus{};
    logging::LoggingState* logging = nullptr;
    levelprobe::CalibrationState* calibrationState = nullptr;
    LevelFamily* family = nullptr;
};

void LevelRulesTest::init() {
    fixture = std::make_unique<LevelFixture>();
    tabs = fixture->tabs.get();
    pages = fixture->pages;
    scan = fixture->scan.get();
    menus = fixture->menus;
    // The rules read the logger's state; the test sets it directly.
    logging = const_cast<logging::LoggingState*>(&fixture->logger->state());
    calibrationState = &fixture->calibration;
    family = fixture->family.get();
}

QList<QWidget*> LevelRulesTest::lockedControls(int p) const {
    const LevelPage* pg = pages[static_cast<size_t>(p)];
    return {pg->PressUnitsQueryBut,
            pg->TempUnitsQueryBut,
            pg->DensityCorrQueryBut,
            pg->LocalGravityQueryBut,
            pg->PressUnitsBut,
            pg->TempUnitsBut,
            pg->DensityCorrBut,
            pg->LocalGravityBut,
            pg->IDQueryBut,
            pg->AddressCombo,
            pg->PressUnitsCombo,
            pg->TempUnitsCombo,
            pg->DensityCorrCombo,
            pg->LocalGravityText,
            pg->SensorIDList,
            pg->AddrBut,
            pg->StartLogBut,
            pg->LogPeriodCombo,
            pg->RangeText,
            pg->RangeQueryBut,
            pg->RangeBut,
            pg->MaxRangeBut,
            pg->MaxOverRangeText,
            pg->MaxOverRangeQueryBut,
            pg->LevelText,
            pg->LevelBut,
            pg->ReverseCombo,
            pg->ReverseBut,
            pg->LocalOffsetCheck,
            pg->ApplyQueryBut,
            pg->UnlockQueryBut,
            pg->UnlockCheck,
            pg->SampleRateText,
            pg->LevelOffsetText,
            pg->LevelOffsetBut,
            pg->AutoZeroBut,
            pg->SGText,
            pg->SGBut,
            pg->ClearOffsetsBut,
            pg->StageOneBut,
            pg->ZeroCalibrationBut,
            pg->SlopeCalibrationBut,
            pg->PressureBut,
            pg->CalibrationCompleteBut};
}

void LevelRulesTest::lockDisablesThePageAndWindowControls() {
    family->LockLevelPage(4);
    for (QWidget* w : lockedControls(4))
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(!pages[4]->StopLogBut->isEnabled());
    QVERIFY(!scan->isEnabled());
    for (QAction* m : menus)
        QVERIFY(!m->isEnabled());
    // Left alone: the tab control, two query buttons, and every other page.
    QVERIFY(tabs->isEnabled());
    QVERIFY(pages[4]->LevelQueryBut->isEnabled());
    QVERIFY(pages[4]->ReverseQueryBut->isEnabled());
    for (QWidget* w : lockedControls(3))
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
}

void LevelRulesTest::unlockWithoutLogging() {
    family->LockLevelPage(4);
    tabs->setEnabled(false);
    family->UnlockLevelPage(4);
    QVERIFY(tabs->isEnabled());
    QVERIFY(pages[4]->StartLogBut->isEnabled());
    QVERIFY(pages[4]->StopLogBut->isEnabled());
    QVERIFY(pages[4]->LogPeriodCombo->isEnabled());
    QVERIFY(pages[4]->PressUnitsQueryBut->isEnabled());
    QVERIFY(scan->isEnabled());
    for (QAction* m : menus)
        QVERIFY(m->isEnabled());
}

void LevelRulesTest::stopButtonOfLoggingSensorStaysUsable() {
    logging->loggingPage = 2;
    pages[2]->StopLogBut->setEnabled(false);
    family->LockLevelPage(5);
    QVERIFY(pages[2]->StopLogBut->isEnabled());
    family->UnlockLevelPage(5);
    for (LevelPage* pg : pages) {
        QVERIFY(!pg->AddrBut->isEnabled());
        QVERIFY(!pg->StartLogBut->isEnabled());
        QVERIFY(!pg->LogPeriodCombo->isEnabled());
    }
    QVERIFY(pages[5]->StopLogBut->isEnabled());
    QVERIFY(pages[5]->PressUnitsQueryBut->isEnabled());
}

void LevelRulesTest::calibrationButtonsFollowStageOne() {
    LevelPage* pg = pages[1];
    const QList<QWidget*> stageTwo{pg->ZeroCalibrationBut, pg->SlopeCalibrationBut, pg->PressureBut,
                                   pg->CalibrationCompleteBut};
    family->LockLevelPage(1);
    family->UnlockLevelPage(1);
    for (QWidget* w : stageTwo)
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(pg->StageOneBut->isEnabled());

    calibrationState->StageOne_Flag[1] = true;
    family->LockLevelPage(1);
    family->UnlockLevelPage(1);
    for (QWidget* w : stageTwo)
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
}

QTEST_MAIN(LevelRulesTest)
#include "tst_levelrules.moc"
