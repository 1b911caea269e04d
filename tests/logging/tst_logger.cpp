#include "FakeDialogs.h"
#include "FakeSerialPort.h"
#include "LinkSupport.h"
#include "ManualScheduler.h"
#include "SchedulerTimers.h"
#include "core/link/Link.h"
#include "core/logging/LogListener.h"
#include "core/logging/LogModel.h"
#include "core/logging/LogPeriods.h"
#include "core/logging/Logger.h"
#include "core/protocol/Family.h"
#include "gui/logging/LogFrame.h"
#include "gui/logging/LogPages.h"
#include "gui/logging/LogView.h"
#include "gui/widgets/DropDown.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QVBoxLayout>

using logging::Logger;
using logging::LogModel;
using sdilink::Code;

namespace {

// Records the page locks and unlocks in the port's trace, so their order against the
// bytes written shows.
class FakeFamily final : public protocol::Family {
public:
    FakeFamily(bool rotary, std::shared_ptr<QStringList> trace)
        : rotary_(rotary), trace_(std::move(trace)) {}
    QString serialNumber(int) const override { return {}; }
    bool isRotary() const override { return rotary_; }
    Code dataRequestCode() const override { return rotary_ ? Code::RotaryData : Code::Data; }
    Code measureCode() const override { return rotary_ ? Code::RotaryMeasure : Code::Measure; }
    void lockPage(int page) override { trace_->append(QStringLiteral("lock %1").arg(page)); }
    void unlockPage(int page) override { trace_->append(QStringLiteral("unlock %1").arg(page)); }
    bool decodeReply(const sdilink::Transaction&, const protocol::ReplyLine&) override {
        return false;
    }

private:
    bool rotary_;
    std::shared_ptr<QStringList> trace_;
};

QStringList rowTexts(const QAbstractItemModel& model, int row) {
    QStringList texts;
    for (int c = 0; c < model.columnCount(); ++c)
        texts << model.index(row, c).data().toString();
    return texts;
}

} // namespace

class LoggerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    void cleanup();

    void measurementRequest_data();
    void measurementRequest();
    void periodCounting_data();
    void periodCounting();
    void stopLogOnAnotherPageStopsAll();
    void logReadingsMarkedUntilTheBusIsFree();
    void newestRowOnTopAndSelected_data();
    void newestRowOnTopAndSelected();
    void clearLogThenNextReading();
    void moveLogKeepsOrder();
    void otherFamilyGivesOtherColumns();
    void valueTextsKeptExactly_data();
    void valueTextsKeptExactly();
    void readingWaitsForTheBus();
    void listenerToldOfRowsAndReadings();

private:
    void setUp(bool rotary);
    void selectPeriod(int tab, const QString& text);
    QStringList writes() const;

    std::shared_ptr<QStringList> trace = std::make_shared<QStringList>();
    std::unique_ptr<testing::FakeSerialPort> port;
    testing::FakeDialogs dialogs;
    QDateTime now;
    std::unique_ptr<sim::ManualScheduler> clock;
    std::unique_ptr<sim::SchedulerTimers> timers;
    std::unique_ptr<sdilink::Link> link;
    std::unique_ptr<QWidget> window;
    std::array<logging::LogFrame*, 10> frames{};
    std::array<widgets::DropDown*, 10> periods{};
    std::unique_ptr<FakeFamily> family;
    std::unique_ptr<Logger> logger;
    QStringList statusWrites;
};

void LoggerTest::setUp(bool rotary) {
    trace->clear();
    statusWrites.clear();
    now = QDateTime(QDate(2026, 12, 6), QTime(9, 5, 3));
    port = std::make_unique<testing::FakeSerialPort>(trace);
    port->open(1);
    logger.reset();
    link.reset();
    clock = std::make_unique<sim::ManualScheduler>();
    timers = std::make_unique<sim::SchedulerTimers>(*clock);
    link = std::make_unique<sdilink::Link>(
        *port, testing::instantPause(), [this] { return now; }, nullptr, *timers);
    testing::sayWhenPortClosed(*link, dialogs);
    window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.get());
    for (size_t i = 0; i < 10; ++i) {
        frames[i] = new logging::LogFrame(window.get());
        periods[i] = new widgets::DropDown(window.get());
        logging::fillLogPeriodList(*periods[i], logging::allLogPeriods());
        layout->addWidget(frames[i]);
    }
    family = std::make_unique<FakeFamily>(rotary, trace);
    logger = std::make_unique<Logger>(*link, [this] { return now; });
    logging::showLogs(*logger, frames);
    logging::followPeriodLists(*logger, periods);
    for (logging::LogFrame* frame : frames)
        frame->setColumns(rotary ? LogModel::Layout::Rotary : LogModel::Layout::LevelProbe);
    logger->setFamily(family.get(), [this](int tab, const QString& text) {
        statusWrites << QStringLiteral("%1 %2").arg(tab).arg(text);
    });
    window->show();
    port->writes.clear();
    trace->clear();
}

void LoggerTest::cleanup() {
    logger.reset();
    family.reset();
    window.reset();
    link.reset();
    port.reset();
}

void LoggerTest::selectPeriod(int tab, const QString& text) {
    widgets::DropDown* list = periods[static_cast<size_t>(tab)];
    list->setCurrentIndex(list->findText(text));
    QVERIFY(list->currentIndex() >= 0);
}

QStringList LoggerTest::writes() const {
    QStringList out;
    for (const QByteArray& w : port->writes)
        out << QString::fromLatin1(w);
    return out;
}

void LoggerTest::measurementRequest_data() {
    QTest::addColumn<bool>("rotary");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("request");
    QTest::addColumn<Code>("code");
    QTest::newRow("level Get") << false << "Get"
                               << "2M!" << Code::Measure;
    QTest::newRow("level Start Log") << false << "Start"
                                     << "2M!" << Code::Measure;
    QTest::newRow("rotary Start Log") << true << "Start"
                                      << "2C!" << Code::RotaryMeasure;
    QTest::newRow("level reply asks for a reading") << false << "Measure"
                                                    << "2M!" << Code::Measure;
    QTest::newRow("rotary reply asks for a reading") << true << "Measure"
                                                     << "2C!" << Code::RotaryMeasure;
}

void LoggerTest::measurementRequest() {
    QFETCH(bool, rotary);
    QFETCH(QString, button);
    QFETCH(QString, request);
    QFETCH(Code, code);
    setUp(rotary);
    link->setMeasureAddress(7);
    if (button == "Get")
        logger->PressureBut_Click(2);
    else if (button == "Measure")
        logger->Measure(2);
    else if (rotary)
        logger->RotaryStartLogBut_Click(2);
    else
        logger->StartLogBut_Click(2);

    // Locked before anything goes out on the bus.
    QCOMPARE(trace->first(), QStringLiteral("lock 2"));
    QCOMPARE(trace->last(), "write " + request);
    QCOMPARE(writes(), QStringList{request});
    QCOMPARE(link->strSent_Command(), request);
    QCOMPARE(link->CommandMode(), code);
    QCOMPARE(link->MeasureAddress(), 2);
}

void LoggerTest::periodCounting_data() {
    QTest::addColumn<bool>("rotary");
    QTest::addColumn<QString>("period");
    // Ticks (1-15) after which a request goes out; one goes out at the start in every case.
    QTest::addColumn<QList<int>>("requestTicks");
    QTest::newRow("Single Log") << false << "Single Log" << QList<int>{};
    QTest::newRow("5 Seconds") << false << "5 Seconds" << QList<int>{5, 10, 15};
    QTest::newRow("1 Second") << false << "1 Second"
                              << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    QTest::newRow("rotary 2 Seconds") << true << "2 Seconds" << QList<int>{2, 4, 6, 8, 10, 12, 14};
}

void LoggerTest::periodCounting() {
    QFETCH(bool, rotary);
    QFETCH(QString, period);
    QFETCH(QList<int>, requestTicks);
    setUp(rotary);
    const QString request = rotary ? "6C!" : "6M!";
    selectPeriod(6, period);
    logger->StartLogBut_Click(6);
    QCOMPARE(writes(), QStringList{request});

    QList<int> sentAfter;
    for (int tick = 1; tick <= 15; ++tick) {
        clock->runUntilIdle(); // the sensor stays silent: the reading ends by its time-out
        QCoreApplication::processEvents();
        const auto before = port->writes.size();
        logger->SecondTimer_Timer();
        if (port->writes.size() != before)
            sentAfter << tick;
    }
    QCOMPARE(sentAfter, requestTicks);
    QCOMPARE(writes(), QStringList(requestTicks.size() + 1, request));

    const bool periodic = !requestTicks.isEmpty();
    QCOMPARE(logger->state().LogActive[6], periodic);
    QCOMPARE(logger->state().loggingPage, periodic ? std::optional<int>(6) : std::nullopt);
    QCOMPARE(statusWrites, periodic ? QStringList{"6 Logging"} : QStringList{});
}

// A running log's reading is marked from its request until the bus is free; a "Get" is not.
void LoggerTest::logReadingsMarkedUntilTheBusIsFree() {
    setUp(false);
    logger->PressureBut_Click(6);
    QVERIFY(link->busy());
    QVERIFY(!logger->logReadingUnderway());
    clock->runUntilIdle(); // silent sensor: the time-out frees the bus
    QVERIFY(!link->busy());

    selectPeriod(6, "5 Seconds");
    logger->StartLogBut_Click(6);
    QVERIFY(logger->logReadingUnderway());
    clock->runUntilIdle();
    QVERIFY(!logger->logReadingUnderway());
    QCOMPARE(writes(), (QStringList{"6M!", "6M!"}));
}

void LoggerTest::stopLogOnAnotherPageStopsAll() {
    setUp(false);
    selectPeriod(2, "5 Seconds");
    logger->StartLogBut_Click(2);
    for (int tick = 0; tick < 3; ++tick)
        logger->SecondTimer_Timer();
    // The reading was answered; the link waits for the sensor's service request.
    struct AwaitsServiceRequest final : sdilink::LinkHandler {
        explicit AwaitsServiceRequest(sdilink::Link& l) : link(l) {}
        void Decode_SDI12(const sdilink::Transaction&, const QByteArray&) override {
            link.awaitServiceRequest(5);
        }
        void unlockPage(int) override {}
        sdilink::Link& link;
    } handler(*link);
    link->setHandler(&handler);
    port->receive("2M!20051\r\n");
    QCoreApplication::processEvents();
    trace->clear();

    logger->StopLogBut_Click(5);
    // The logging sensor's row too: no row says "Logging" once nothing logs.
    QCOMPARE(statusWrites, (QStringList{"2 Logging", "5 Idle", "2 Idle"}));
    QCOMPARE(logger->state().loggingPage, std::optional<int>());
    for (size_t i = 0; i < 10; ++i) {
        QCOMPARE(logger->state().LogActive[i], false);
        QCOMPARE(logger->state().LogTick[i], 0);
    }
    QCOMPARE(link->ReceiveState(), sdilink::Framer::State::Idle);
    // The reading is given up, and every page gets its controls back, the logging one too.
    QStringList unlocks;
    for (int p = 0; p <= 9; ++p)
        unlocks << QStringLiteral("unlock %1").arg(p);
    QCOMPARE(*trace, unlocks);
    QVERIFY(!link->busy());

    port->writes.clear();
    for (int tick = 0; tick < 10; ++tick)
        logger->SecondTimer_Timer();
    QVERIFY(port->writes.empty());
    link->setHandler(nullptr);
}

void LoggerTest::newestRowOnTopAndSelected_data() {
    QTest::addColumn<bool>("rotary");
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::newRow("level probe") << false << QStringList{"06/12/2026", "09:05:03", "12.345",
                                                         "Inch Hg",    "-1.5",     "Centigrade"}
                                 << QStringList{"01/01/2027", "21:00:00", "-0.002",
                                                "Bar",        "21.05",    "Fahrenheit"};
    QTest::newRow("rotary") << true << QStringList{"06/12/2026", "09:05:03", "1.234", "Metres"}
                            << QStringList{"01/01/2027", "21:00:00", "-17", "Feet"};
}

void LoggerTest::newestRowOnTopAndSelected() {
    QFETCH(bool, rotary);
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    setUp(rotary);
    auto add = [&](const QStringList& row) {
        // A rotary row is given only its reading and units by the decoder.
        logger->AddLogRow(3, row[2], row[3], rotary ? QString() : row[4],
                          rotary ? QString() : row[5]);
    };
    add(first);
    now = QDateTime(QDate(2027, 1, 1), QTime(21, 0, 0));
    add(second);

    QAbstractItemView* view = frames[3]->logList();
    QVERIFY(view->isVisible());
    const QAbstractItemModel& shown = *view->model();
    QCOMPARE(shown.rowCount(), 2);
    QCOMPARE(shown.columnCount(), rotary ? 4 : 6);
    QCOMPARE(rowTexts(shown, 0), second);
    QCOMPARE(rowTexts(shown, 1), first);
    const QModelIndexList selected = view->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().row(), 0);
    QVERIFY(frames[3]->ClearLogBut->isEnabled());
    QVERIFY(frames[3]->SaveLogBut->isEnabled());
    QVERIFY(!frames[2]->ClearLogBut->isEnabled());

    // A row the user picked gives way to the next reading.
    view->selectionModel()->select(shown.index(1, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    add(first);
    QCOMPARE(shown.rowCount(), 3);
    QCOMPARE(rowTexts(shown, 1), second);
    QCOMPARE(view->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(view->selectionModel()->selectedRows().first().row(), 0);
}

void LoggerTest::clearLogThenNextReading() {
    setUp(true);
    selectPeriod(1, "1 Minute");
    logger->RotaryStartLogBut_Click(1);
    logger->AddLogRow(1, "1.5", "Metres");
    logger->AddLogRow(1, "1.6", "Metres");

    logger->ClearLogBut_Click(1);
    QCOMPARE(frames[1]->LogListView->model()->rowCount(), 0);
    QVERIFY(!frames[1]->ClearLogBut->isEnabled());
    QVERIFY(!frames[1]->SaveLogBut->isEnabled());
    QCOMPARE(logger->state().loggingPage, std::optional<int>(1)); // logging goes on

    logger->AddLogRow(1, "1.7", "Metres");
    QCOMPARE(rowTexts(*frames[1]->LogListView->model(), 0),
             (QStringList{"06/12/2026", "09:05:03", "1.7", "Metres"}));
    QVERIFY(frames[1]->ClearLogBut->isEnabled());
    QVERIFY(frames[1]->SaveLogBut->isEnabled());
}

void LoggerTest::moveLogKeepsOrder() {
    setUp(false);
    logger->AddLogRow(4, "1", "Bar", "20", "Centigrade");
    logger->AddLogRow(0, "2", "PSI", "21", "Centigrade");
    logger->AddLogRow(0, "3", "mBar", "22", "Fahrenheit");

    logger->moveLog(0, 4);
    const QAbstractItemModel& target = *frames[4]->LogListView->model();
    QCOMPARE(target.rowCount(), 3);
    QCOMPARE(rowTexts(target, 0).mid(2), (QStringList{"1", "Bar", "20", "Centigrade"}));
    QCOMPARE(rowTexts(target, 1).mid(2), (QStringList{"3", "mBar", "22", "Fahrenheit"}));
    QCOMPARE(rowTexts(target, 2).mid(2), (QStringList{"2", "PSI", "21", "Centigrade"}));
    QCOMPARE(frames[0]->LogListView->model()->rowCount(), 0);
    QVERIFY(!frames[0]->ClearLogBut->isEnabled());
    QVERIFY(!frames[0]->SaveLogBut->isEnabled());
    QVERIFY(frames[4]->ClearLogBut->isEnabled());

    // Moving an empty log leaves the target's buttons off.
    logger->moveLog(0, 7);
    QVERIFY(!frames[7]->ClearLogBut->isEnabled());
}

// One list and one model per page: a family chosen anew brings its own columns, and the
// rows taken under the old ones go.
void LoggerTest::otherFamilyGivesOtherColumns() {
    setUp(false);
    logger->AddLogRow(3, "1", "Bar", "20", "Centigrade");
    logging::LogView* view = frames[3]->logList();
    LogModel* rows = &logger->log(3);
    QCOMPARE(view->header()->count(), 6);

    frames[3]->setColumns(LogModel::Layout::Rotary);
    QCOMPARE(&logger->log(3), rows);
    QCOMPARE(view->model(), rows);
    QCOMPARE(rows->rowCount(), 0);
    QCOMPARE(view->header()->count(), 4);
    QCOMPARE(rows->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Level"));
    logger->AddLogRow(3, "1.5", "Metres");
    QCOMPARE(rowTexts(*view->model(), 0).mid(2), (QStringList{"1.5", "Metres"}));

    // The same columns again keep the rows.
    frames[3]->setColumns(LogModel::Layout::Rotary);
    QCOMPARE(rows->rowCount(), 1);
    frames[3]->setColumns(LogModel::Layout::LevelProbe);
    QCOMPARE(view->header()->count(), 6);
    QCOMPARE(rows->rowCount(), 0);
}

void LoggerTest::valueTextsKeptExactly_data() {
    QTest::addColumn<QString>("value1");
    QTest::addColumn<QString>("value2");
    QTest::newRow("empty") << QString() << QString("0");
    QTest::newRow("signs kept") << QString("-0.0012") << QString("-3");
    QTest::newRow("not ASCII") << QString::fromUtf8("1\u00b75\u00b0") << QString("x");
    QTest::newRow("longer than 255") << QString(300, QChar('7')) << QString("1.0");
    // The lengths on either side of the one that needs a long length.
    QTest::newRow("254 bytes") << QString(254, QChar('7')) << QString("1.0");
    QTest::newRow("255 bytes") << QString(255, QChar('7')) << QString("1.0");
    QTest::newRow("255 bytes of UTF-8") << QString(127, QChar(0xb0)) + '7' << QString("1.0");
}

void LoggerTest::valueTextsKeptExactly() {
    QFETCH(QString, value1);
    QFETCH(QString, value2);
    LogModel log(LogModel::Layout::LevelProbe);
    const QDateTime when(QDate(2026, 3, 1), QTime(0, 0, 1));
    log.addRow(when, value1, u"kPa", value2, u"Centigrade");
    log.addRow(when, value2, u"", value1, u"kPa");
    QCOMPARE(log.text(1, 2), value1);
    QCOMPARE(log.text(1, 4), value2);
    QCOMPARE(log.text(0, 2), value2);
    QCOMPARE(log.text(0, 3), QString());
    QCOMPARE(log.text(0, 4), value1);
    QCOMPARE(log.text(0, 5), QStringLiteral("kPa"));
}

void LoggerTest::readingWaitsForTheBus() {
    setUp(false);
    selectPeriod(4, "1 Second");
    logger->StartLogBut_Click(4);
    QCOMPARE(writes(), QStringList{"4M!"});
    // The reading is still in flight: the tick's reading waits instead of replacing it.
    logger->SecondTimer_Timer();
    QCOMPARE(writes().size(), 1);
    clock->runUntilIdle();
    QTRY_COMPARE(writes().size(), 2);

    // A scan (any sequence) holds the bus: the due reading goes out when it ends.
    clock->runUntilIdle();
    QCoreApplication::processEvents();
    {
        const sdilink::Link::Sequence scan(*link);
        logger->SecondTimer_Timer();
        QCoreApplication::processEvents();
        QCOMPARE(writes().size(), 2);
    }
    QTRY_COMPARE(writes(), (QStringList{"4M!", "4M!", "4M!"}));

    // On a closed port the log says so once and stops.
    clock->runUntilIdle();
    QCoreApplication::processEvents();
    port->close();
    logger->SecondTimer_Timer();
    logger->SecondTimer_Timer();
    QCOMPARE(dialogs.boxes.size(), 1);
    QCOMPARE(logger->state().loggingPage, std::optional<int>());
}

namespace {

class Listener final : public logging::LogListener {
public:
    void rowAdded(int tab, const QDateTime& when, const QString& value1, const QString&,
                  const QString&, const QString&) override {
        heard << QStringLiteral("row %1 %2 %3").arg(tab).arg(when.toString("hh:mm:ss"), value1);
    }
    void logCleared(int tab) override { heard << QStringLiteral("cleared %1").arg(tab); }
    void logMoved(int from, int to) override {
        heard << QStringLiteral("moved %1 %2").arg(from).arg(to);
    }
    void logReadingSent(int tab) override { heard << QStringLiteral("sent %1").arg(tab); }
    void logReadingSkipped(int tab) override { heard << QStringLiteral("skipped %1").arg(tab); }
    QStringList heard;
};

} // namespace

void LoggerTest::listenerToldOfRowsAndReadings() {
    setUp(false);
    Listener listener;
    logger->setListener(&listener);
    logger->PressureBut_Click(2); // a single reading is no log's
    clock->runUntilIdle();
    selectPeriod(4, "1 Second");
    logger->StartLogBut_Click(4);
    // The reading is still in flight at both ticks: the first tick's reading waits, the second
    // finds it still waiting.
    logger->SecondTimer_Timer();
    logger->SecondTimer_Timer();
    logger->AddLogRow(4, "1.5", "bar", "20", "C");
    logger->ClearLogBut_Click(4);
    logger->moveLog(4, 6);
    QCOMPARE(listener.heard,
             (QStringList{"sent 4", "skipped 4", "row 4 09:05:03 1.5", "cleared 4", "moved 4 6"}));
}

QTEST_MAIN(LoggerTest)
#include "tst_logger.moc"
