#include "core/protocol/ReplyLine.h"
#include "core/protocol/StandardAnswers.h"

#include <QTest>

using protocol::ReplyLine;
using protocol::StandardAnswers;

class StandardAnswersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addressChange_data();
    void addressChange();
    void measurement_data();
    void measurement();
    void identification_data();
    void identification();
};

void StandardAnswersTest::addressChange_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("oldAddress");
    QTest::addColumn<int>("newAddress");
    QTest::newRow("echo and answer") << "0A3!3" << 0 << 3;
    // The addresses come from the echo, whatever the sensor answered from.
    QTest::newRow("answer from elsewhere") << "0A3!5" << 0 << 3;
    QTest::newRow("new address a letter") << "0Ab!b" << 0 << -1;
    QTest::newRow("echo cut short") << "A3!3" << -1 << 3;
    QTest::newRow("new address missing") << "0A!" << -1 << -1;
    QTest::newRow("no end of echo") << "0A3" << -1 << -1;
}

void StandardAnswersTest::addressChange() {
    QFETCH(QString, line);
    QFETCH(int, oldAddress);
    QFETCH(int, newAddress);
    const StandardAnswers::AddressChange change = StandardAnswers::addressChange(ReplyLine(line));
    QCOMPARE(change.oldAddress, oldAddress);
    QCOMPARE(change.newAddress, newAddress);
}

void StandardAnswersTest::measurement_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("wait");
    QTest::addColumn<int>("count");
    QTest::newRow("level probe") << "3M!30051" << 5 << 1;
    QTest::newRow("encoder") << "2C!21232" << 123 << 2;
    QTest::newRow("longer echo") << "3XSPM0.5!30109" << 10 << 9;
    QTest::newRow("letters count as 0") << "3M!30x5y" << 5 << 0;
    QTest::newRow("wait cut short") << "3M!312" << 120 << 0;
    QTest::newRow("address only") << "3M!3" << 0 << 0;
    // Without its address the answer's fields are read one place late.
    QTest::newRow("address missing") << "3M!0051" << 51 << 0;
}

void StandardAnswersTest::measurement() {
    QFETCH(QString, line);
    QFETCH(int, wait);
    QFETCH(int, count);
    const StandardAnswers::Measurement m = StandardAnswers::measurement(ReplyLine(line));
    QCOMPARE(m.wait, wait);
    QCOMPARE(m.count, count);
}

void StandardAnswersTest::identification_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("full") << "3I!313CORVANE LVL300100314073"
                          << QStringList{"SDI Version = 1.3", "Company Name = CORVANE ",
                                         "Sensor Model = LVL300", "Sensor Version = 100"};
    QTest::newRow("cut short") << "3I!313CORV"
                               << QStringList{"SDI Version = 1.3", "Company Name = CORV",
                                              "Sensor Model = ", "Sensor Version = "};
    QTest::newRow("address only") << "3I!3"
                                  << QStringList{"SDI Version = .", "Company Name = ",
                                                 "Sensor Model = ", "Sensor Version = "};
}

void StandardAnswersTest::identification() {
    QFETCH(QString, line);
    QFETCH(QStringList, lines);
    QCOMPARE(StandardAnswers::identification(ReplyLine(line)), lines);
}

QTEST_APPLESS_MAIN(StandardAnswersTest)
#include "tst_standardanswers.moc"
