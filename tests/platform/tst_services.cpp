#include "platform/Services.h"

#include <QTest>
#include <ctime>

class TestServices : public QObject {
    Q_OBJECT
private slots:
    void clockGivesTheLocalTime_data();
    void clockGivesTheLocalTime();
    void cleanupTestCase();

private:
    QByteArray zone_ = qgetenv("TZ");
};

void TestServices::clockGivesTheLocalTime_data() {
    QTest::addColumn<QByteArray>("zone");
    QTest::newRow("UTC") << QByteArray("UTC0");
    QTest::newRow("quarter hours east") << QByteArray("XST-05:45");
    QTest::newRow("half hours west") << QByteArray("YST+03:30");
    // Summer time in force for half of the year, whenever this runs.
    QTest::newRow("summer time") << QByteArray("CET-1CEST,M3.5.0,M10.5.0/3");
}

// The clock keeps the zone's offset for a minute; what it gives is the local date and time
// the system gives, in any zone, and the same instant.
void TestServices::clockGivesTheLocalTime() {
    QFETCH(QByteArray, zone);
    qputenv("TZ", zone);
    ::tzset();
    const platform::Clock clock = platform::systemClock();
    for (int i = 0; i < 3; ++i) {
        const QDateTime before = QDateTime::currentDateTime();
        const QDateTime now = clock();
        const QDateTime after = QDateTime::currentDateTime();
        QVERIFY(before <= now && now <= after);
        if (before.offsetFromUtc() != after.offsetFromUtc())
            continue; // the zone's offset changed just now
        QCOMPARE(now.offsetFromUtc(), before.offsetFromUtc());
        QVERIFY(before.date() <= now.date() && now.date() <= after.date());
        if (before.date() == after.date())
            QVERIFY(before.time() <= now.time() && now.time() <= after.time());
    }
}

void TestServices::cleanupTestCase() {
    if (zone_.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone_);
    ::tzset();
}

QTEST_GUILESS_MAIN(TestServices)
#include "tst_services.moc"
