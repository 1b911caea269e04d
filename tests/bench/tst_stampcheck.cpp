#include "StampCheck.h"

#include <QTest>

using bench::checkEverySecond;

class StampCheckTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void completeSeriesIsClean();
    void delayedReadingsAreKept_data();
    void delayedReadingsAreKept();
    void faultsAreCountedOnce_data();
    void faultsAreCountedOnce();
};

void StampCheckTest::completeSeriesIsClean() {
    const bench::StampReport r = checkEverySecond({100, 101, 102, 103}, 100, 4);
    QVERIFY(r.clean());
    QCOMPARE(r.rows, 4);
    QCOMPARE(r.firstBad, -1);
    // No rows at all: every second is missing.
    QCOMPARE(checkEverySecond({}, 100, 4).missing, 4);
}

void StampCheckTest::delayedReadingsAreKept_data() {
    QTest::addColumn<std::vector<qint64>>("seconds");
    QTest::addColumn<qint64>("delayed");
    QTest::addColumn<qint64>("maxDelay");
    // Series of five from second 100; a busy bus holds a reading into the next seconds.
    QTest::newRow("into the next second")
        << std::vector<qint64>{100, 101, 103, 103, 104} << 1LL << 1LL;
    QTest::newRow("two seconds, two readings")
        << std::vector<qint64>{100, 103, 103, 103, 104} << 2LL << 2LL;
    QTest::newRow("the last one, past the series")
        << std::vector<qint64>{100, 101, 102, 103, 105} << 1LL << 1LL;
}

void StampCheckTest::delayedReadingsAreKept() {
    QFETCH(std::vector<qint64>, seconds);
    const bench::StampReport r = checkEverySecond(seconds, 100, 5);
    QVERIFY(r.clean());
    QCOMPARE(r.firstBad, -1);
    QTEST(r.delayed, "delayed");
    QTEST(r.maxDelay, "maxDelay");
}

void StampCheckTest::faultsAreCountedOnce_data() {
    QTest::addColumn<std::vector<qint64>>("seconds");
    QTest::addColumn<qint64>("missing");
    QTest::addColumn<qint64>("duplicated");
    QTest::addColumn<qint64>("misplaced");
    QTest::addColumn<qint64>("firstBad");
    // Series of five from second 100.
    QTest::newRow("one lost") << std::vector<qint64>{100, 101, 103, 104} << 1LL << 0LL << 0LL
                              << 2LL;
    QTest::newRow("first lost") << std::vector<qint64>{101, 102, 103, 104} << 1LL << 0LL << 0LL
                                << 0LL;
    QTest::newRow("stops early") << std::vector<qint64>{100, 101, 102} << 2LL << 0LL << 0LL << 3LL;
    QTest::newRow("twice in a second, none lost")
        << std::vector<qint64>{100, 101, 101, 102, 103, 104} << 0LL << 1LL << 0LL << 2LL;
    QTest::newRow("lost behind a delayed one")
        << std::vector<qint64>{100, 102, 102, 104} << 1LL << 0LL << 0LL << 3LL;
    QTest::newRow("backwards") << std::vector<qint64>{100, 101, 102, 101, 103, 104} << 0LL << 0LL
                               << 1LL << 3LL;
    QTest::newRow("before and after the series")
        << std::vector<qint64>{99, 100, 101, 102, 103, 104, 105} << 0LL << 0LL << 2LL << 0LL;
}

void StampCheckTest::faultsAreCountedOnce() {
    QFETCH(std::vector<qint64>, seconds);
    const bench::StampReport r = checkEverySecond(seconds, 100, 5);
    QVERIFY(!r.clean());
    QTEST(r.missing, "missing");
    QTEST(r.duplicated, "duplicated");
    QTEST(r.misplaced, "misplaced");
    QTEST(r.firstBad, "firstBad");
}

QTEST_GUILESS_MAIN(StampCheckTest)
#include "tst_stampcheck.moc"
