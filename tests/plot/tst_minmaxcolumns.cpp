#include "gui/plot/MinMaxColumns.h"

#include <QRandomGenerator>
#include <QStringList>
#include <QTest>
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

// Each column as "min@time max@time", or "-" when empty.
QStringList texts(const std::vector<plot::Column>& columns) {
    QStringList t;
    for (const plot::Column& c : columns)
        t << (c.empty()
                  ? QStringLiteral("-")
                  : QStringLiteral("%1@%2 %3@%4").arg(c.min).arg(c.minAt).arg(c.max).arg(c.maxAt));
    return t;
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

    // Against a plain scan of each column's readings; the first of equal extremes counts.
    std::vector<plot::Column> expected(static_cast<size_t>(columns));
    for (const Reading& x : r) {
        const int c = static_cast<int>((x.seconds - r.front().seconds) / grid.width());
        QVERIFY(c < columns);
        plot::Column& e = expected[static_cast<size_t>(c)];
        if (e.empty() || x.value < e.min)
            e.min = x.value, e.minAt = x.seconds;
        if (std::isnan(e.max) || x.value > e.max)
            e.max = x.value, e.maxAt = x.seconds;
    }
    QCOMPARE(texts(grid.columns()), texts(expected));
    QVERIFY(texts(grid.columns()).join(' ').contains(QStringLiteral("-1e+06@")));
    QVERIFY(texts(grid.columns()).join(' ').contains(QStringLiteral(" 1e+06@")));
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
    QCOMPARE(live.width(), 1.0);
    for (const Reading& x : r) {
        while (x.seconds >= live.end())
            live.widen();
        QVERIFY(live.add(x.seconds, x.value));
    }
    MinMaxColumns once(live.start(), live.width(), columns);
    addAll(once, r);
    QCOMPARE(texts(live.columns()), texts(once.columns()));
    // The narrowest grid that holds them all.
    QVERIFY(live.start() + live.width() / 2 * columns <= r.back().seconds || count < columns);
}

void MinMaxColumnsTest::readingsOutsideTheGrid() {
    MinMaxColumns grid(100, 10, 4); // 100 to 140
    QVERIFY(!grid.add(99.5, 1));
    QVERIFY(!grid.add(140, 1));
    QVERIFY(grid.add(139.9, 5));
    // A value that is not a number leaves its column as it was, yet is inside the grid.
    QVERIFY(grid.add(100, std::numeric_limits<double>::quiet_NaN()));
    QCOMPARE(texts(grid.columns()), (QStringList{"-", "-", "-", "5@139.9 5@139.9"}));
    QCOMPARE(grid.columnOf(std::numeric_limits<double>::quiet_NaN()), -1);
}

QTEST_APPLESS_MAIN(MinMaxColumnsTest)
#include "tst_minmaxcolumns.moc"
