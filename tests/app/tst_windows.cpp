#include "Fixtures.h"
#include "core/link/Link.h"
#include "core/protocol/Family.h"
#include "gui/app/AboutWindow.h"
#include "gui/app/CommandLine.h"
#include "gui/app/MainWindow.h"
#include "gui/app/SensorPage.h"
#include "gui/app/StartupWindow.h"
#include "gui/discovery/SensorLists.h"
#include "gui/help/HelpWindow.h"
#include "gui/levelprobe/LevelPage.h"
#include "gui/logging/LogFrame.h"
#include "gui/logging/LogView.h"
#include "gui/rotary/RotaryPage.h"
#include "gui/widgets/DropDown.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTreeView>
#include <QTreeWidget>
#include <utility>

using app::MainWindow;
using app::StartupWindow;
using Family = app::StartupWindow::Family;

namespace {

// A window whose stored port does not open, so no scan runs at start.
std::unique_ptr<MainWindow> makeWindow(testing::TestServices& t, Family family) {
    t.port->availablePorts = {16};
    auto window = std::make_unique<MainWindow>(t.services());
    if (family == Family::RotaryEncoder)
        window->setRotaryEncoderSensorType();
    else
        window->setLevelProbeSensorType();
    window->load();
    return window;
}

// What a user sees of the family-specific parts of the window.
QStringList visibleParts(MainWindow& w) {
    QStringList parts;
    auto note = [&](const QString& name, bool visible) {
        if (visible)
            parts << name;
    };
    note("mnuFilter", w.mnuFilter->isVisible());
    note("mnuReset", w.mnuReset->isVisible());
    note("CalibrateCheck", w.CalibrateCheck->isVisible());
    note("ListView", w.lists().ListView->isVisible());
    note("RotaryListView", w.lists().RotaryListView->isVisible());
    for (int i = 0; i <= 9; ++i) {
        w.SensorTab->setCurrentIndex(i);
        app::SensorPage* p = w.page(i);
        const QString n = QString::number(i);
        note("ParameterFrame" + n, p->level->ParameterFrame->isVisible());
        note("CalibrateFrame" + n, p->level->CalibrateFrame->isVisible());
        note("RotaryEncoderFrame" + n, p->rotary->isVisible());
        QStringList columns;
        for (int c = 0; c < p->log->log().columnCount(); ++c)
            columns << p->log->log().headerData(c, Qt::Horizontal).toString();
        note("log" + n + ":" + columns.join(','), p->log->LogListView->isVisible());
        QStringList units;
        for (int u = 0; u < p->level->PressUnitsCombo->count(); ++u)
            units << p->level->PressUnitsCombo->itemText(u);
        parts << "units" + n + ":" + units.join(',');
    }
    w.SensorTab->setCurrentIndex(0);
    return parts;
}

} // namespace

class WindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }

    void startupWindowButtons_data();
    void startupWindowButtons();
    void startupWindowTakesOneChoice_data();
    void startupWindowTakesOneChoice();
    void encoderConverterGivesTheLevelProbeWindow();
    void rotaryFamilyShowsOnlyItsParts();
    void mainWindowAtStart();
    void sensorListsStartWithAddressRows_data();
    void sensorListsStartWithAddressRows();
    void pressureUnitsSkipCodes();
    void logPeriodLists();
    void levelToolTips();
    void closeAsksFirst();
    void timeoutUnlocksTheLockedPage();
    void aboutWindowIsModeless();
    void helpOpensTheGuideOfTheWholeWindow();
};

void WindowsTest::startupWindowButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("family");
    QTest::newRow("level") << "LevelProbeButton"
                           << "Brenlow\nLevel Transmitter" << int(Family::LevelProbe);
    QTest::newRow("rotary") << "RotaryEncoderButton"
                            << "Tirra\nSDI-12 Rotary Encoder" << int(Family::RotaryEncoder);
    QTest::newRow("converter") << "EncoderConverterButton"
                               << "Quenby\nSDI-12 Encoder Converter" << int(Family::LevelProbe);
}

void WindowsTest::startupWindowButtons() {
    QFETCH(QString, button);
    QFETCH(QString, caption);
    QFETCH(int, family);
    StartupWindow startup;
    startup.show();
    QCOMPARE(startup.versionLabel->text(), QStringLiteral("1.0.0"));
    auto* b = startup.findChild<QPushButton*>(button);
    QVERIFY(b);
    QCOMPARE(b->text(), caption);
    QSignalSpy chosen(&startup, &StartupWindow::familyChosen);
    b->click();
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(int(chosen[0][0].value<Family>()), family);
    QVERIFY(!startup.isVisible());
}

void WindowsTest::startupWindowTakesOneChoice_data() {
    QTest::addColumn<QString>("second"); // what the user does after the first click
    // The main window loads inside familyChosen and waits for the first scan in a nested
    // event loop, which delivers what the user does meanwhile.
    QTest::addColumn<bool>("whileLoading");
    for (bool loading : {true, false}) {
        const char* when = loading ? "while loading" : "afterwards";
        QTest::addRow("double-click, %s", when) << "double" << loading;
        QTest::addRow("click again, %s", when) << "again" << loading;
        QTest::addRow("other button, %s", when) << "other" << loading;
    }
}

void WindowsTest::startupWindowTakesOneChoice() {
    QFETCH(QString, second);
    QFETCH(bool, whileLoading);
    StartupWindow startup;
    startup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&startup));
    QPushButton* button = startup.RotaryEncoderButton;
    auto secondAction = [&] {
        if (second == "double") {
            // The rest of a double-click: the second press arrives as a double-click event.
            QTest::mouseDClick(button, Qt::LeftButton);
            QTest::mouseRelease(button, Qt::LeftButton);
        } else {
            (second == "again" ? button : startup.LevelProbeButton)->click();
        }
    };
    QSignalSpy chosen(&startup, &StartupWindow::familyChosen);
    bool loading = false;
    if (whileLoading)
        connect(&startup, &StartupWindow::familyChosen, &startup, [&] {
            if (!std::exchange(loading, true))
                secondAction();
        });

    QTest::mouseClick(button, Qt::LeftButton);
    if (!whileLoading)
        secondAction();

    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen[0][0].value<Family>(), Family::RotaryEncoder);
    QVERIFY(!startup.isVisible());
}

void WindowsTest::encoderConverterGivesTheLevelProbeWindow() {
    StartupWindow startup;
    QSignalSpy chosen(&startup, &StartupWindow::familyChosen);
    startup.EncoderConverterButton->click();
    testing::TestServices t1, t2;
    auto converter = makeWindow(t1, chosen[0][0].value<Family>());
    auto level = makeWindow(t2, Family::LevelProbe);
    const QStringList parts = visibleParts(*level);
    QCOMPARE(visibleParts(*converter), parts);
    QVERIFY(!converter->isRotary());
    QVERIFY(parts.contains("mnuFilter") && parts.contains("CalibrateCheck"));
    QVERIFY(parts.contains("ParameterFrame3") &&
            parts.contains("log3:Date,Time,Pressure,Units,Temperature,Units"));
    QVERIFY(!parts.contains("RotaryListView") && !parts.contains("RotaryEncoderFrame3"));
    QVERIFY(!parts.contains("CalibrateFrame3"));
    QCOMPARE(converter->link().dataRequestCode(), sdilink::Code::Data);
}

void WindowsTest::rotaryFamilyShowsOnlyItsParts() {
    testing::TestServices t;
    auto w = makeWindow(t, Family::RotaryEncoder);
    const QStringList parts = visibleParts(*w);
    for (const char* hidden : {"mnuFilter", "mnuReset", "CalibrateCheck", "ListView"})
        QVERIFY2(!parts.contains(hidden), hidden);
    QVERIFY(parts.contains("RotaryListView"));
    for (int i = 0; i <= 9; ++i) {
        const QString n = QString::number(i);
        QVERIFY(parts.contains("RotaryEncoderFrame" + n));
        QVERIFY(parts.contains("log" + n + ":Date,Time,Level,Units"));
        QVERIFY(!parts.contains("ParameterFrame" + n));
        QVERIFY(!parts.contains("CalibrateFrame" + n));
    }
    QCOMPARE(w->link().dataRequestCode(), sdilink::Code::RotaryData);
}

void WindowsTest::mainWindowAtStart() {
    testing::TestServices t;
    t.port->availablePorts = {16};
    MainWindow w(t.services());
    QCOMPARE(w.windowTitle(), QStringLiteral("Tarnix - SDI-12 Device Configuration Tool "));

    QCOMPARE(w.mnuFile->title(), QStringLiteral("&File"));
    QCOMPARE(w.mnuSaveAs->text(), QStringLiteral("Save As..."));
    QVERIFY(w.mnuSaveAs->isEnabled());
    QCOMPARE(w.mnuCommsPort->title(), QStringLiteral("&Comms Port"));
    QCOMPARE(w.mnuCommsPort->actions().size(), 16);
    QCOMPARE(w.mnuCom[0]->text(), QStringLiteral("COM1"));
    QCOMPARE(w.mnuCom[15]->text(), QStringLiteral("COM16"));
    for (QAction* item : {w.mnuReset, w.mnuFilter, w.mnuQueryAddress, w.mnuUserCommand})
        QVERIFY2(!item->isEnabled(), qPrintable(item->text()));
    QCOMPARE(w.mnuReset->text(), QStringLiteral("&Reset Sensor"));
    QCOMPARE(w.mnuFilter->text(), QStringLiteral("&Filter Settings"));
    QCOMPARE(w.mnuQueryAddress->text(), QStringLiteral("&Query Sensor Address"));
    QCOMPARE(w.mnuUserCommand->text(), QStringLiteral("&User Command"));
    QCOMPARE(w.mnuHelp->title(), QStringLiteral("&Help"));
    QCOMPARE(w.submnuHelp->text(), QStringLiteral("Help"));
    QCOMPARE(w.submnuAbout->text(), QStringLiteral("About"));

    QCOMPARE(w.SensorTab->count(), 10);
    for (int i = 0; i <= 9; ++i)
        QCOMPARE(w.SensorTab->tabText(i), QStringLiteral("Sensor %1").arg(i));
    QCOMPARE(w.ScanBut->text(), QStringLiteral("Re-Scan Sensors"));
    QCOMPARE(w.CalibrateCheck->text(), QStringLiteral("Calibrate Mode"));
    QCOMPARE(w.ButClearComms->text(), QStringLiteral("Clear Comms"));

    // Latin text unshaped in every control of the window, the comms monitor's own font too.
    for (const QWidget* control : w.findChildren<QWidget*>())
        if (control->window() == &w)
            QVERIFY2(control->font().styleStrategy() & QFont::PreferNoShaping,
                     qPrintable(control->objectName()));
    QCOMPARE(w.StatusBar1[0]->text(), QStringLiteral("    Connection Status: "));
    QCOMPARE(w.StatusBar1[1]->text(), QStringLiteral("Not Connected. "));
    QCOMPARE(w.StatusBar1[2]->text(), QStringLiteral("06/12/2026 14:03:27  "));

    QCOMPARE(w.SecondTimer.interval(), 1000);
    QVERIFY(w.SecondTimer.isActive());
    QCOMPARE(w.ClockTimer.interval(), 500);
    QVERIFY(w.ClockTimer.isActive());
    QCOMPARE(w.link().timings().CommandTimeout, 400);
    QVERIFY(!w.link().TimeoutTimer().isActive());

    w.setLevelProbeSensorType();
    w.load();
    QCOMPARE(w.SensorTab->currentIndex(), 0);
}

void WindowsTest::sensorListsStartWithAddressRows_data() {
    QTest::addColumn<int>("family");
    QTest::addColumn<QStringList>("columns");
    QTest::newRow("level") << int(Family::LevelProbe)
                           << QStringList{"Address",       "Serial No.", "Density Correction",
                                          "Local Gravity", "Pressure",   "Units",
                                          "Temperature",   "Units",      "Log Status"};
    QTest::newRow("rotary") << int(Family::RotaryEncoder)
                            << QStringList{"Address",       "Serial No.", "Level",     "Units",
                                           "Pulley Circum", "Direction",  "Log Status"};
}

void WindowsTest::sensorListsStartWithAddressRows() {
    QFETCH(int, family);
    QFETCH(QStringList, columns);
    testing::TestServices t;
    auto w = makeWindow(t, Family(family));
    QTreeWidget* list =
        family == int(Family::RotaryEncoder) ? w->lists().RotaryListView : w->lists().ListView;
    QVERIFY(list->isVisible());
    QStringList headers;
    for (int c = 0; c < list->columnCount(); ++c)
        headers << list->headerItem()->text(c);
    QCOMPARE(headers, columns);
    QCOMPARE(list->topLevelItemCount(), 10);
    for (int i = 0; i <= 9; ++i) {
        QTreeWidgetItem* row = list->topLevelItem(i);
        QCOMPARE(row->text(0), QString::number(i) + "         ");
        for (int c = 1; c < list->columnCount(); ++c)
            QVERIFY(row->text(c).isEmpty());
    }
}

void WindowsTest::pressureUnitsSkipCodes() {
    testing::TestServices t;
    auto w = makeWindow(t, Family::LevelProbe);
    const widgets::DropDown* units = w->page(4)->level->PressUnitsCombo;
    QCOMPARE(units->count(), 11);
    QList<int> codes;
    QStringList texts;
    for (int i = 0; i < units->count(); ++i) {
        codes << units->itemCode(i);
        texts << units->itemText(i);
    }
    QCOMPARE(codes, (QList<int>{0, 1, 2, 3, 5, 6, 10, 11, 12, 13, 14}));
    QCOMPARE(texts, (QStringList{"mH2O", "ftH2O", "inH2O", "bar", "mmWg", "cmWg", "mH2O Absolute",
                                 "mm Hg", "Inch Hg", "mbar", "KPa"}));
}

void WindowsTest::logPeriodLists() {
    testing::TestServices t1, t2;
    auto level = makeWindow(t1, Family::LevelProbe);
    auto rotary = makeWindow(t2, Family::RotaryEncoder);
    auto entries = [](const widgets::DropDown* list) {
        QStringList e;
        for (int i = 0; i < list->count(); ++i)
            e << QStringLiteral("%1=%2").arg(list->itemText(i)).arg(list->itemCode(i));
        return e;
    };
    const widgets::DropDown* levelList = level->page(9)->level->LogPeriodCombo;
    const widgets::DropDown* rotaryList = rotary->page(9)->rotary->RotaryLogPeriodCombo;
    QCOMPARE(entries(levelList),
             (QStringList{"Single Log=0", "1 Second=1", "2 Seconds=2", "5 Seconds=5",
                          "10 Seconds=10", "1 Minute=60", "15 Minutes=900", "1 Hour=3600"}));
    QCOMPARE(entries(rotaryList), (QStringList{"Single Log=0", "1 Second=1", "2 Seconds=2",
                                               "5 Seconds=5", "10 Seconds=10", "30 Seconds=30",
                                               "1 Minute=60", "5 Minutes=300", "15 Minutes=900"}));
    QCOMPARE(levelList->currentIndex(), 0);
    QCOMPARE(rotaryList->currentIndex(), 0);
    QCOMPARE(levelList->toolTip(), QStringLiteral("Select Logging Period."));
    QCOMPARE(rotaryList->toolTip(), QStringLiteral("Select Logging Period."));
}

void WindowsTest::levelToolTips() {
    testing::TestServices t;
    auto w = makeWindow(t, Family::LevelProbe);
    const levelprobe::LevelPage* p = w->page(2)->level;
    const QList<std::pair<QWidget*, const char*>> tips{
        {p->SGText, "Enter Specific Gravity."},
        {p->MaxOverRangeText, "Maximum Useable Range."},
        {p->RangeText, "Calibrated Range."},
        {p->DensityCorrCombo, "Select Density Correction."},
        {p->ReverseCombo, "Enable Reverse output."},
        {p->SampleRateText, "Max Sample Rate."},
        {p->LocalOffsetCheck, "Apply Local Level Offset."},
        {p->LevelBut, "Set Local level."},
        {p->AutoZeroBut, "Set Auto Zero."},
        {p->ClearOffsetsBut, "Clear Offsets."},
        {p->StartLogBut, "Start Logging."},
        {p->StopLogBut, "Stop Logging"},
        {w->page(2)->log->ClearLogBut, "Clear Log List."},
        {w->page(2)->log->SaveLogBut, "Save Log File."}};
    for (const auto& [widget, tip] : tips)
        QCOMPARE(widget->toolTip(), QString::fromLatin1(tip));
    QCOMPARE(p->AddressCombo->text(), QStringLiteral("Select....."));
    QCOMPARE(p->LevelOffsetText->text(), QStringLiteral("0.00"));
    QVERIFY(p->LocalGravityText->text().isEmpty());
}

void WindowsTest::closeAsksFirst() {
    testing::TestServices t;
    auto w = makeWindow(t, Family::LevelProbe);
    t.port->open(16);
    t.dialogs.boxes.clear();

    t.dialogs.answers.enqueue(platform::Dialogs::Button::No);
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    QVERIFY(t.port->isOpen());
    QCOMPARE(t.dialogs.boxes.size(), 1);
    const auto& box = t.dialogs.boxes[0];
    QCOMPARE(box.title, QStringLiteral("Quit."));
    QCOMPARE(box.text, QStringLiteral("Are you sure you want to quit?"));
    QCOMPARE(box.icon, platform::Dialogs::Icon::Information);
    QCOMPARE(box.buttons, platform::Dialogs::Buttons::YesNo);
    QCOMPARE(box.defaultButton, platform::Dialogs::Button::No);

    // Quitting while a reading waits for its service request: nothing is asked afterwards.
    w->link().setMeasureAddress(3);
    w->link().awaitServiceRequest(1);
    t.dialogs.answers.enqueue(platform::Dialogs::Button::Yes);
    QVERIFY(w->close());
    QVERIFY(!w->isVisible());
    QVERIFY(!t.port->isOpen());
    QCOMPARE(w->link().ReceiveState(), sdilink::Framer::State::Idle);
    QVERIFY(!w->link().busy());
}

void WindowsTest::timeoutUnlocksTheLockedPage() {
    testing::TestServices t;
    auto w = makeWindow(t, Family::LevelProbe);
    t.port->open(16);
    levelprobe::LevelPage* p3 = w->page(3)->level;
    w->family().lockPage(3);
    // Another page is shown: the time-out still unlocks the page that asked.
    w->SensorTab->setCurrentIndex(0);
    QVERIFY(!p3->PressUnitsQueryBut->isEnabled());
    QVERIFY(!w->ScanBut->isEnabled());

    w->link().setCommandTimeout(1);
    w->link().setReplyStatus(sdilink::Link::Waiting);
    w->link().transmit(sdilink::Transaction::forPage(3, sdilink::Code::PressUnitsQuery, "3XUP!"));
    QTRY_COMPARE(w->link().replyStatus(), qint16(2));
    QVERIFY(p3->PressUnitsQueryBut->isEnabled());
    QVERIFY(p3->StartLogBut->isEnabled());
    QVERIFY(w->ScanBut->isEnabled());
    QVERIFY(w->SensorTab->isEnabled());
    QVERIFY(w->mnuUserCommand->isEnabled());
}

void WindowsTest::aboutWindowIsModeless() {
    testing::TestServices t;
    auto w = makeWindow(t, Family::LevelProbe);
    w->submnuAbout->trigger();
    auto* about = w->findChild<app::AboutWindow*>();
    QVERIFY(about);
    QVERIFY(about->isVisible());
    QVERIFY(!about->isModal());
    QCOMPARE(about->windowTitle(), QStringLiteral("Tarnix - SDI-12 Device Configuration Tool"));
    const QString program = about->findChild<QLabel*>("ProgramText")->text();
    QVERIFY2(program.contains(QStringLiteral("version " SDI12_VERSION)), qPrintable(program));
    QVERIFY2(program.contains(QStringLiteral("Qt version ") + qVersion()), qPrintable(program));
    QVERIFY2(program.contains(QStringLiteral("MIT")), qPrintable(program));
}

// The guide names every menu of the window and every option of the command line, so a
// feature that lands without its part of the guide shows up here.
void WindowsTest::helpOpensTheGuideOfTheWholeWindow() {
    testing::TestServices t;
    auto w = makeWindow(t, Family::LevelProbe);
    const auto boxes = t.dialogs.boxes.size();
    w->submnuHelp->trigger();
    auto* guide = w->findChild<help::HelpWindow*>();
    QVERIFY(guide);
    QVERIFY(guide->isVisible());
    QVERIFY(!guide->isModal());
    QCOMPARE(t.dialogs.boxes.size(), boxes);
    w->submnuHelp->trigger();
    QCOMPARE(w->findChildren<help::HelpWindow*>().size(), 1);

    const QString text = guide->GuideText->toPlainText();
    QStringList missing;
    for (QAction* top : w->menuBar()->actions()) {
        QList<QAction*> items{top};
        if (top->menu())
            items += top->menu()->actions();
        for (QAction* item : items) {
            const QString caption = item->text().remove('&');
            if (!caption.startsWith("COM") && !text.contains('"' + caption + '"'))
                missing << caption;
        }
    }
    static const QRegularExpression option(QStringLiteral("--[a-z-]+"));
    for (const auto& m : option.globalMatch(app::CommandLine::helpText()))
        if (!text.contains(m.captured()))
            missing << m.captured();
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
}

QTEST_MAIN(WindowsTest)
#include "tst_windows.moc"
