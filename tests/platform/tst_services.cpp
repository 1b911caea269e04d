#include "core/platform/Services.h"

#include <QTest>
#include <ctime>

class TestServices : public QObject {
    Q_OBJECT
private slots:
    // The clock keeps the zone's offset for a minute; it gives the local date and time the
    // system gives, in any zone (one with summer time in force half of the year).
    void clockGivesTheLocalTime() {
        const QByteArray zone = qgetenv("TZ");
        for (const char* z : {"XST-05:45", "YST+03:30", "CET-1CEST,M3.5.0,M10.5.0/3"}) {
            qputenv("TZ", z);
            ::tzset();
            const QDateTime before = QDateTime::currentDateTime();
            const QDateTime now = platform::systemClock()();
            const QDateTime after = QDateTime::currentDateTime();
            QVERIFY(before <= now && now <= after);
            QVERIFY(now.offsetFromUtc() == before.offsetFromUtc() ||
                    now.offsetFromUtc() == after.offsetFromUtc());
            QVERIFY(before.date() <= now.date() && now.date() <= after.date());
        }
        zone.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone);
        ::tzset();
    }
};

QTEST_GUILESS_MAIN(TestServices)
#include "tst_services.moc"
