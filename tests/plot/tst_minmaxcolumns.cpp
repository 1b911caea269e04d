#include "plot/MinMaxColumns.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <utility>
#include <vector>

using plot::MinMaxColumns;

namespace {

struct Reading {
    double seconds;
    double value;
};

// A second a reading, values from a seeded generator with a spike and a dip among them.
std::vector<Reading> readings(int count, quint32 seed) {
    QRandomGenerator random(seed);
    std::vector<Reading> r;
    for (int i = 0; i < count; ++i)
        r.push_back({1000.0 + i, random.bounded(100.0) - 50.0});
    r[static_cast<size_t>(count / 3)].value = 1e6;
    r[static_cast<size_t>(count / 3 + 1)].value = -1e6;
    return r;
}

void addAll(MinMaxColumns& columns, const std::vector<Reading>& r) {
    plot::addReadings(columns, 0, static_cast<int>(r.size()), [&](int i) {
        return std::pair{r[static_cast<size_t>(i)].seconds, r[static_cast<size_t>(i)].value};
    });
}

} // namespace

class MinMaxColumnsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void extremesOfEveryColumnKept_data();
    void extremesOfEveryColumnKept();
    void liveWideningMatchesOneDecimation_data();
    void liveWideningMatchesOneDecimation();
    void readingsOutsideTheGrid();
    void coveringGrid_data();
    void coveringGrid();
    void firstAtOrAfter_data();
    void firstAtOrAfter();
};

void MinMaxColumnsTest::extremesOfEveryColumnKept_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("columns");
    QTest::newRow("many readings a column") << 10000 << 37;
    QTest::newRow("about one a column") << 500 << 499;
    QTest::newRow("fewer readings than columns") << 40 << 1000;
}

void MinMaxColumnsTest::extremesOfEveryColumnKept() {
    QFETCH(int, count);
    QFETCH(int, columns);
    const std::vector<Reading> r = readings(count, static_cast<quint32>(count + columns));
    MinMaxColumns grid(r.front().seconds, (count + 0.5) / columns, columns);
    addAll(grid, r);

    // Every reading is in the grid, the spike and the dip among the columns' extremes.
    QVERIFY(std::all_of(r.begin(), r.end(),
                        [&](const Reading& x) { return grid.columnOf(x.seconds) >= 0; }));
    const auto& all = grid.columns();
    QVERIFY(
        std::any_of(all.begin(), all.end(), [](const plot::Column& c) { return c.max == 1e6; }));
    QVERIFY(
        std::any_of(all.begin(), all.end(), [](const plot::Column& c) { return c.min == -1e6; }));

    // Against a plain scan of each column's readings.
    for (int c = 0; c < grid.count(); ++c) {
        const plot::Column& column = grid.columns()[static_cast<size_t>(c)];
        std::vector<Reading> inside;
        for (const Reading& x : r)
            if (grid.columnOf(x.seconds) == c)
                inside.push_back(x);
        QCOMPARE(column.empty(), inside.empty());
        if (inside.empty())
            continue;
        const auto [low, high] = std::minmax_element(
            inside.begin(), inside.end(),
            [](const Reading& a, const Reading& b) { return a.value < b.value; });
        QCOMPARE(column.min, low->value);
        QCOMPARE(column.max, high->value);
        QCOMPARE(column.minAt, low->seconds);
        QCOMPARE(column.maxAt, high->seconds);
    }
}

void MinMaxColumnsTest::liveWideningMatchesOneDecimation_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("columns");
    QTest::newRow("even columns") << 5000 << 64;
    QTest::newRow("odd columns") << 3001 << 75;
    QTest::newRow("no widening") << 50 << 64;
}

void MinMaxColumnsTest::liveWideningMatchesOneDecimation() {
    QFETCH(int, count);
    QFETCH(int, columns);
    const std::vector<Reading> r = readings(count, 7);

    // As a live view does: one reading at a time, widening when it runs off the grid.
    MinMaxColumns live = MinMaxColumns::covering(r.front().seconds, r.front().seconds, columns);
    for (const Reading& x : r) {
        while (x.seconds >= live.end())
            live.widen();
        QVERIFY(live.add(x.seconds, x.value));
    }
    MinMaxColumns once(live.start(), live.width(), columns);
    addAll(once, r);

    QVERIFY(live.end() > r.back().seconds);
    for (int c = 0; c < columns; ++c) {
        const plot::Column& a = live.columns()[static_cast<size_t>(c)];
        const plot::Column& b = once.columns()[static_cast<size_t>(c)];
        QCOMPARE(a.empty(), b.empty());
        if (a.empty())
            continue;
        QCOMPARE(a.min, b.min);
        QCOMPARE(a.max, b.max);
        QCOMPARE(a.minAt, b.minAt);
        QCOMPARE(a.maxAt, b.maxAt);
    }
}

void MinMaxColumnsTest::readingsOutsideTheGrid() {
    MinMaxColumns grid(100, 10, 4); // 100 to 140
    QVERIFY(!grid.add(99.5, 1));
    QVERIFY(!grid.add(140, 1));
    QVERIFY(grid.add(139.9, 5));
    // A value that is not a number leaves its column as it was, yet is inside the grid.
    QVERIFY(grid.add(100, std::numeric_limits<double>::quiet_NaN()));
    QVERIFY(grid.columns()[0].empty());
    QCOMPARE(grid.columns()[3].max, 5.0);
    QCOMPARE(grid.columnOf(std::numeric_limits<double>::quiet_NaN()), -1);
}

void MinMaxColumnsTest::coveringGrid_data() {
    QTest::addColumn<double>("span");
    QTest::addColumn<int>("columns");
    QTest::addColumn<double>("width");
    QTest::newRow("one reading") << 0.0 << 100 << 1.0;
    QTest::newRow("last on the end of one-second columns") << 100.0 << 100 << 2.0;
    QTest::newRow("a million seconds") << 1e6 << 2000 << 512.0;
}

void MinMaxColumnsTest::coveringGrid() {
    QFETCH(double, span);
    QFETCH(int, columns);
    QFETCH(double, width);
    const MinMaxColumns grid = MinMaxColumns::covering(5000, 5000 + span, columns);
    QCOMPARE(grid.start(), 5000.0);
    QCOMPARE(grid.width(), width);
    QCOMPARE(grid.count(), columns);
    QVERIFY(grid.columnOf(5000 + span) >= 0);
}

void MinMaxColumnsTest::firstAtOrAfter_data() {
    QTest::addColumn<double>("time");
    QTest::addColumn<int>("first");
    QTest::newRow("before all") << 0.0 << 0;
    QTest::newRow("on a reading shared by two") << 20.0 << 1;
    QTest::newRow("between") << 25.0 << 3;
    QTest::newRow("after all") << 99.0 << 5;
}

void MinMaxColumnsTest::firstAtOrAfter() {
    QFETCH(double, time);
    QFETCH(int, first);
    const std::vector<qint64> seconds{10, 20, 20, 30, 40};
    QCOMPARE(plot::firstAtOrAfter(5, time, [&](int i) { return seconds[static_cast<size_t>(i)]; }),
             first);
}

QTEST_APPLESS_MAIN(MinMaxColumnsTest)
#include "tst_minmaxcolumns.moc"
