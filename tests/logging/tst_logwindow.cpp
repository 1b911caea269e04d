#include "Fixtures.h"
#include "app/MainWindow.h"
#include "app/SensorPage.h"
#include "discovery/SensorLists.h"
#include "levelprobe/LevelPage.h"
#include "logging/LogFrame.h"
#include "logging/Logger.h"
#include "platform/DropDown.h"
#include "rotary/RotaryPage.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

// The main window's logging wiring: page buttons, the sensor list's status column and the
// status-bar clock.
class LogWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    void statusBarClock();
    void pageButtons_data();
    void pageButtons();
};

void LogWindowTest::statusBarClock() {
    testing::TestServices t;
    app::MainWindow w(t.services());
    QCOMPARE(w.StatusBar1[2]->text(), QStringLiteral("06/12/2026 14:03:27  "));
}

void LogWindowTest::pageButtons_data() {
    QTest::addColumn<bool>("rotary");
    QTest::addColumn<QString>("request");
    QTest::addColumn<int>("statusColumn");
    QTest::newRow("level probe") << false << "3M!" << 8;
    QTest::newRow("rotary") << true << "3C!" << 6;
}

void LogWindowTest::pageButtons() {
    QFETCH(bool, rotary);
    QFETCH(QString, request);
    QFETCH(int, statusColumn);
    testing::TestServices t;
    t.port->availablePorts = {16}; // the stored COM1 does not open: no scan at start
    app::MainWindow w(t.services());
    if (rotary)
        w.setRotaryEncoderSensorType();
    else
        w.setLevelProbeSensorType();
    w.load();
    t.port->open(16);
    w.SensorTab->setEnabled(true); // as after a scan that found the sensors
    w.SensorTab->setCurrentIndex(3);
    app::SensorPage* p = w.page(3);
    QPushButton* start = rotary ? p->rotary->RotaryStartLogBut : p->level->StartLogBut;
    QPushButton* stop = rotary ? p->rotary->RotaryStopLogBut : p->level->StopLogBut;
    platform::DropDown* period =
        rotary ? p->rotary->RotaryLogPeriodCombo : p->level->LogPeriodCombo;
    QTreeWidget* list = rotary ? w.lists().RotaryListView : w.lists().ListView;
    period->setCurrentIndex(period->findText(QStringLiteral("1 Second")));
    t.port->writes.clear();

    start->click();
    QCOMPARE(t.port->writes, std::vector<QByteArray>{request.toLatin1()});
    QCOMPARE(list->topLevelItem(3)->text(statusColumn), QStringLiteral("Logging"));
    QCOMPARE(w.loggingState().LoggingSensor, 4);

    QVERIFY(stop->isEnabled());
    stop->click();
    QCOMPARE(list->topLevelItem(3)->text(statusColumn), QStringLiteral("Idle"));
    QCOMPARE(w.loggingState().LoggingSensor, 0);

    w.logger().AddLogRow(3, "1.5", "Metres", "20.5", "Centigrade");
    QTreeView* view = p->log->logList(rotary);
    QCOMPARE(view->model()->rowCount(), 1);
    p->log->ClearLogBut->click();
    QCOMPARE(view->model()->rowCount(), 0);
    QVERIFY(!p->log->SaveLogBut->isEnabled());
}

QTEST_MAIN(LogWindowTest)
#include "tst_logwindow.moc"
