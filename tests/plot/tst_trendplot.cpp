#include "Fixtures.h"
#include "core/logging/LogModel.h"
#include "core/logging/Logger.h"
#include "gui/app/MainWindow.h"
#include "gui/app/SensorPage.h"
#include "gui/logging/LogFrame.h"
#include "gui/logging/LogView.h"
#include "gui/plot/TrendPlot.h"

#include <QDateTimeAxis>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QValueAxis>

using logging::LogModel;
using plot::TrendPlot;

namespace {

const QDateTime kStart(QDate(2026, 12, 6), QTime(9, 0, 0));

qreal axisTime(const QDateTime& when) {
    return static_cast<qreal>(when.toMSecsSinceEpoch());
}

// The y values a series draws, in order.
QList<qreal> drawn(const QList<QPointF>& points) {
    QList<qreal> values;
    for (const QPointF& p : points)
        values << p.y();
    return values;
}

// A level-probe reading a second after the previous one, or an encoder's.
void addReading(LogModel& log, int second, const QString& value,
                const QString& temperature = "20") {
    if (log.layout() == LogModel::Layout::Rotary)
        log.addRow(kStart.addSecs(second), value, QStringLiteral("Metres"));
    else
        log.addRow(kStart.addSecs(second), value, QStringLiteral("PSI"), temperature,
                   QStringLiteral("Centigrade"));
}

} // namespace

class TrendPlotTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void followsEachNewReading_data();
    void followsEachNewReading();
    void zoomedViewStaysUntilFitAll();
    void zoomStopsAtTenReadingsAndAtTheWholeLog();
    void hiddenPlotCatchesUpWithoutNonNumbers();
    void pageFollowsAnAddressMove();
};

void TrendPlotTest::followsEachNewReading_data() {
    QTest::addColumn<bool>("rotary");
    QTest::addColumn<QString>("title");
    QTest::newRow("level probe") << false << "Pressure (PSI)";
    QTest::newRow("rotary") << true << "Level (Metres)";
}

void TrendPlotTest::followsEachNewReading() {
    QFETCH(bool, rotary);
    QFETCH(QString, title);
    LogModel log(rotary ? LogModel::Layout::Rotary : LogModel::Layout::LevelProbe);
    TrendPlot plot;
    plot.resize(600, 300);
    plot.setLog(&log);
    plot.show();

    for (int s = 0; s < 5; ++s)
        addReading(log, s, QString::number(10 + s), QString::number(-s));
    QCOMPARE(drawn(plot.points(0)), (QList<qreal>{10, 11, 12, 13, 14}));
    QCOMPARE(plot.points(0).last().x(), axisTime(kStart.addSecs(4)));
    QCOMPARE(plot.valueAxis(0)->titleText(), title);
    QCOMPARE(plot.showsSeries(1), !rotary);
    if (!rotary) {
        QCOMPARE(drawn(plot.points(1)), (QList<qreal>{0, -1, -2, -3, -4}));
        QCOMPARE(plot.valueAxis(1)->titleText(), QStringLiteral("Temperature (Centigrade)"));
    }

    // A reading an hour later: the time axis reaches it, the value axis takes it in.
    addReading(log, 3600, QStringLiteral("-7.5"));
    QVERIFY(plot.following());
    QCOMPARE(plot.points(0).last(), QPointF(axisTime(kStart.addSecs(3600)), -7.5));
    QCOMPARE(plot.timeAxis()->min(), kStart);
    QVERIFY(plot.timeAxis()->max() >= kStart.addSecs(3600));
    QVERIFY(plot.timeAxis()->max() <= kStart.addSecs(3600 + 3600 / 10));
    QVERIFY(plot.valueAxis(0)->min() < -7.5 && plot.valueAxis(0)->max() > 14);
}

void TrendPlotTest::zoomedViewStaysUntilFitAll() {
    LogModel log(LogModel::Layout::LevelProbe);
    TrendPlot plot;
    plot.resize(600, 300);
    plot.setLog(&log);
    plot.show();
    for (int s = 0; s < 1000; ++s)
        addReading(log, s, QString::number(s % 100));
    // Followed one by one, a column a second: every reading drawn once, in order.
    QList<qreal> all;
    for (int s = 0; s < 1000; ++s)
        all << s % 100;
    QCOMPARE(drawn(plot.points(0)), all);

    // The readings in the time shown, one a column at this zoom: each drawn once.
    const double base = kStart.date().toJulianDay() * 86400.0 + 9 * 3600; // the log's clock
    const auto shownReadings = [&plot, base] {
        QList<qreal> values;
        for (int s = static_cast<int>(std::ceil(plot.shownFrom() - base));
             s < plot.shownTo() - base && s < 1000; ++s)
            values << s % 100;
        return values;
    };
    const double span = plot.shownTo() - plot.shownFrom();
    plot.zoom(0.1, 0.5);
    QVERIFY(!plot.following());
    QVERIFY(qAbs(plot.shownTo() - plot.shownFrom() - span / 10) < 1e-3);
    QVERIFY(drawn(plot.points(0)).size() > 90);
    QCOMPARE(drawn(plot.points(0)), shownReadings());
    plot.pan(-0.5);
    QCOMPARE(drawn(plot.points(0)), shownReadings());

    // A new reading beyond what is shown leaves the view alone.
    const double to = plot.shownTo();
    addReading(log, 1000, QStringLiteral("500"));
    QCOMPARE(plot.shownTo(), to);
    QVERIFY(!drawn(plot.points(0)).contains(500));

    plot.FitAllBut->click();
    QVERIFY(plot.following());
    QCOMPARE(drawn(plot.points(0)).last(), 500.0);
    QVERIFY(plot.timeAxis()->max() >= kStart.addSecs(1000));
}

void TrendPlotTest::zoomStopsAtTenReadingsAndAtTheWholeLog() {
    // A reading every 15 minutes for three weeks, over the new year.
    const QDateTime start(QDate(2026, 12, 20), QTime(0, 0));
    const QDateTime newest = start.addSecs(900 * (3 * 7 * 96 - 1));
    LogModel log(LogModel::Layout::Rotary);
    for (QDateTime t = start; t <= newest; t = t.addSecs(900))
        log.addRow(t, QString::number(log.rowCount() % 7), u"Metres");
    TrendPlot plot;
    plot.resize(600, 300);
    plot.setLog(&log);
    plot.show();
    const QList<double> whole{plot.shownFrom(), plot.shownTo()};
    QCOMPARE(plot.timeAxis()->format(), QStringLiteral("dd MMM yyyy hh:mm"));

    // 200 wheel notches in at the oldest reading: ten readings across, no fewer.
    for (int notch = 0; notch < 200; ++notch)
        plot.zoom(0.8, 0);
    QCOMPARE(drawn(plot.points(0)), (QList<qreal>{0, 1, 2, 3, 4, 5, 6, 0, 1, 2}));
    QCOMPARE(plot.timeAxis()->format(), QStringLiteral("hh:mm:ss"));
    // 200 out at the right edge: the whole log as "Fit All" shows it, no further.
    for (int notch = 0; notch < 200; ++notch)
        plot.zoom(1.25, 1);
    QCOMPARE((QList<double>{plot.shownFrom(), plot.shownTo()}), whole);
    QCOMPARE(plot.points(0).last().x(), axisTime(newest));
    QCOMPARE(plot.timeAxis()->format(), QStringLiteral("dd MMM yyyy hh:mm"));
}

void TrendPlotTest::hiddenPlotCatchesUpWithoutNonNumbers() {
    LogModel log(LogModel::Layout::LevelProbe);
    TrendPlot plot;
    plot.setLog(&log);
    addReading(log, 0, QStringLiteral("1.5"));
    addReading(log, 1, QStringLiteral("-"), QStringLiteral("1e400"));
    QVERIFY(plot.points(0).isEmpty()); // nothing done while hidden
    plot.show();
    addReading(log, 2, QStringLiteral("2.5x"));
    addReading(log, 3, QStringLiteral("-0.5"));
    QCOMPARE(drawn(plot.points(0)), (QList<qreal>{1.5, -0.5}));
    QCOMPARE(drawn(plot.points(1)), (QList<qreal>{20, 20, 20}));
    log.clear();
    QVERIFY(plot.points(0).isEmpty());
}

void TrendPlotTest::pageFollowsAnAddressMove() {
    testing::TestServices t;
    t.port->availablePorts = {16}; // no scan at start
    app::MainWindow w(t.services());
    w.setLevelProbeSensorType();
    w.load();
    w.show();
    w.SensorTab->setEnabled(true); // as after a scan that found the sensors
    app::SensorPage* from = w.page(2);
    app::SensorPage* to = w.page(5);
    QVERIFY(from->trend->isHidden());
    w.SensorTab->setCurrentIndex(5);
    to->log->PlotBut->click();
    QVERIFY(to->trend->isVisible());
    QVERIFY(to->log->LogListView->isVisible());

    t.now = kStart;
    w.logger().AddLogRow(5, "7", "PSI", "20", "Centigrade");
    t.now = kStart.addSecs(-60);
    w.logger().AddLogRow(2, "1", "PSI", "21", "Centigrade");
    t.now = kStart.addSecs(-30);
    w.logger().AddLogRow(2, "3", "Bar", "22", "Centigrade");
    QCOMPARE(drawn(to->trend->points(0)), (QList<qreal>{7}));

    // The moved readings are older; the plot takes them in front and still follows.
    w.logger().moveLog(2, 5);
    QCOMPARE(drawn(to->trend->points(0)), (QList<qreal>{1, 3, 7}));
    QCOMPARE(to->trend->timeAxis()->min(), kStart.addSecs(-60));
    t.now = kStart.addSecs(5);
    w.logger().AddLogRow(5, "9", "PSI", "20", "Centigrade");
    QCOMPARE(drawn(to->trend->points(0)), (QList<qreal>{1, 3, 7, 9}));

    // The page the sensor left shows an empty plot when opened.
    w.SensorTab->setCurrentIndex(2);
    from->log->PlotBut->click();
    QVERIFY(from->trend->points(0).isEmpty());
}

QTEST_MAIN(TrendPlotTest)
#include "tst_trendplot.moc"
