#include "Fixtures.h"
#include "core/logging/LogModel.h"
#include "core/logging/Logger.h"
#include "gui/app/MainWindow.h"
#include "gui/app/SensorPage.h"
#include "gui/discovery/SensorLists.h"
#include "gui/levelprobe/LevelPage.h"
#include "gui/logging/LogFrame.h"
#include "gui/logging/LogView.h"
#include "gui/rotary/RotaryPage.h"
#include "gui/widgets/DropDown.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStandardItemModel>
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
    void logViewWalksRowsWithoutLayingThemOut();
    void logViewMovesRowsForNewReadings();
    void logViewHeaderFollowsTitlesAndFont();
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
    widgets::DropDown* period = rotary ? p->rotary->RotaryLogPeriodCombo : p->level->LogPeriodCombo;
    QTreeWidget* list = rotary ? w.lists().RotaryListView : w.lists().ListView;
    period->setCurrentIndex(period->findText(QStringLiteral("1 Second")));
    t.port->writes.clear();

    start->click();
    QCOMPARE(t.port->writes, std::vector<QByteArray>{request.toLatin1()});
    QCOMPARE(list->topLevelItem(3)->text(statusColumn), QStringLiteral("Logging"));
    QCOMPARE(w.loggingState().loggingPage, std::optional<int>(3));

    QVERIFY(stop->isEnabled());
    stop->click();
    QCOMPARE(list->topLevelItem(3)->text(statusColumn), QStringLiteral("Idle"));
    QCOMPARE(w.loggingState().loggingPage, std::optional<int>());

    w.logger().AddLogRow(3, "1.5", "Metres", "20.5", "Centigrade");
    QAbstractItemView* view = p->log->logList();
    QCOMPARE(view->model()->rowCount(), 1);
    p->log->ClearLogBut->click();
    QCOMPARE(view->model()->rowCount(), 0);
    QVERIFY(!p->log->SaveLogBut->isEnabled());
}

// The log list finds rows by arithmetic: what is under the mouse, where a row is drawn, the
// keys, and the scroll range after readings arrive.
void LogWindowTest::logViewWalksRowsWithoutLayingThemOut() {
    logging::LogModel rows(logging::LogModel::Layout::LevelProbe);
    for (int i = 0; i < 200; ++i)
        rows.addRow(QDateTime(QDate(2026, 12, 6), QTime(14, 0, 0).addSecs(i)), QString::number(i),
                    u"bar", u"20.5", u"Centigrade");
    logging::LogView view;
    view.setModel(&rows);
    view.resize(400, 10 * view.rowHeight() + 80);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const int shown = view.viewport()->height() / view.rowHeight();
    QCOMPARE(view.verticalScrollBar()->maximum(), 200 - shown);

    const QModelIndex third = rows.index(2, 3);
    QCOMPARE(view.indexAt(view.visualRect(third).center()), third);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(third).center());
    QCOMPARE(view.selectionModel()->selectedRows(), QModelIndexList{rows.index(2, 0)});
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(view.currentIndex().row(), 3);
    QTest::keyClick(&view, Qt::Key_End);
    QCOMPARE(view.currentIndex().row(), 199);
    QCOMPARE(view.verticalScrollBar()->value(), 200 - shown);
    QCOMPARE(view.indexAt(view.visualRect(rows.index(199, 0)).center()).row(), 199);

    rows.addRow(QDateTime(QDate(2026, 12, 6), QTime(15, 0, 0)), u"9", u"bar", u"20.5",
                u"Centigrade");
    QTRY_COMPARE(view.verticalScrollBar()->maximum(), 201 - shown);
    rows.clear();
    QTRY_COMPARE(view.verticalScrollBar()->maximum(), 0);
    QVERIFY(!view.indexAt(QPoint(5, 5)).isValid());
}

// New readings move the rows shown rather than draw them again: what is on screen after a
// few readings, at the top of the log and scrolled into it, with a row selected, must be
// what drawing the whole list afresh gives.
void LogWindowTest::logViewMovesRowsForNewReadings() {
    logging::LogModel rows(logging::LogModel::Layout::LevelProbe);
    const QDateTime start(QDate(2026, 12, 6), QTime(14, 0, 0));
    int n = 0;
    auto reading = [&] {
        rows.addRow(start.addSecs(n), QString::number(n), u"bar", u"20.5", u"Centigrade");
        ++n;
    };
    for (int i = 0; i < 30; ++i)
        reading();
    logging::LogView view;
    view.setAlternatingRowColors(true);
    view.setModel(&rows);
    view.resize(400, 12 * view.rowHeight() + 40);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    auto onScreen = [&] {
        return view.screen()
            ->grabWindow(view.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    auto drawnAfresh = [&] { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); };
    view.selectionModel()->select(rows.index(0, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    for (int top : {0, 7}) {
        view.verticalScrollBar()->setValue(top);
        QCoreApplication::processEvents();
        for (int burst : {1, 1, 3}) {
            for (int i = 0; i < burst; ++i)
                reading();
            QCoreApplication::processEvents();
            QCOMPARE(onScreen(), drawnAfresh());
        }
    }
}

// The header's height is measured once, and again when what it depends on changes: a title
// of two lines, a larger font, another model.
void LogWindowTest::logViewHeaderFollowsTitlesAndFont() {
    QStandardItemModel rows(3, 2);
    rows.setHorizontalHeaderLabels({QStringLiteral("Time"), QStringLiteral("Level")});
    logging::LogView view;
    view.setModel(&rows);
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    int width = 300;
    const auto headerFits = [&] {
        view.resize(++width, 200); // lays the view out again
        const int height = view.header()->sizeHint().height();
        return view.header()->height() == height &&
               view.viewport()->geometry().top() == view.header()->geometry().bottom() + 1;
    };
    QVERIFY(headerFits());
    const int oneLine = view.header()->height();

    rows.setHeaderData(1, Qt::Horizontal, QStringLiteral("Level\n(m)"));
    QVERIFY(headerFits());
    QVERIFY(view.header()->height() > oneLine);

    QFont large = view.font();
    large.setPointSize(large.pointSize() * 2);
    view.setFont(large);
    QVERIFY(headerFits());

    QStandardItemModel other(1, 1);
    other.setHorizontalHeaderLabels({QStringLiteral("Time")});
    view.setModel(&other);
    QVERIFY(headerFits());
}

QTEST_MAIN(LogWindowTest)
#include "tst_logwindow.moc"
