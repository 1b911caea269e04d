#include "core/protocol/Catalogue.h"
#include "core/protocol/ReplyLine.h"

#include <QTest>
#include <cmath>

using protocol::Catalogue;
using sdilink::Code;

class CatalogueTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void requestBytes_data();
    void requestBytes();
    void valueBuilders();
    void codesNeverSent();

    void roundIt_data();
    void roundIt();
    void plainNumberText_data();
    void plainNumberText();
    void signedText_data();
    void signedText();
    void dataAnswer_data();
    void dataAnswer();
    void positionsBeyondTheEnd();
};

void CatalogueTest::requestBytes_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<Code>("code");
    QTest::addColumn<int>("number"); // the code's number, fixed by the comms behaviour
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray none;
    struct Row {
        Code code;
        int number;
        QByteArray value;
        QByteArray bytes;
    };
    // Page 3 unless the row says otherwise.
    const QList<Row> rows{
        {Code::AddressQuery, 0, none, "?!"},
        {Code::AddressChange, 1, "5", "3A5!"},
        {Code::PressUnitsQuery, 2, none, "3XUP!"},
        {Code::PressUnitsSet, 3, "13", "3XUP13!"},
        {Code::TempUnitsQuery, 4, none, "3XUT!"},
        {Code::TempUnitsSet, 5, "1", "3XUT1!"},
        {Code::DensityCorrQuery, 6, none, "3XP!"},
        {Code::DensityCorrSet, 7, "0", "3XP0!"},
        {Code::LocalGravityQuery, 8, none, "3XE!"},
        {Code::LocalGravitySet, 9, "9.81", "3XE9.81!"},
        {Code::Identification, 10, none, "3I!"},
        {Code::Measure, 11, none, "3M!"},
        {Code::Data, 12, none, "3D0!"},
        {Code::RangeQuery, 13, none, "3XRA!"},
        {Code::RangeSet, 14, "100.5", "3XRA100.5!"},
        {Code::MaxOverRangeQuery, 15, none, "3XMOR!"},
        {Code::MaxOverRangeSet, 16, "12", "3XMOR12!"},
        {Code::ReverseQuery, 17, none, "3XREV!"},
        {Code::ReverseSet, 18, "1", "3XREV1!"},
        {Code::LevelQuery, 19, none, "3XLOF!"},
        {Code::LevelSet, 20, "-1.5", "3XLOF-1.5!"},
        {Code::LocalOffsetQuery, 21, none, "3XLOC!"},
        {Code::LocalOffsetSet, 22, "1", "3XLOC1!"},
        {Code::UnlockQuery, 23, none, "3XUNLK!"},
        {Code::UnlockSet, 24, "0", "3XUNLK0!"},
        {Code::SerialNumberQuery, 25, none, "3XSN!"},
        {Code::FilterQuery, 26, none, "3XF!"},
        {Code::FilterSet, 27, "0,10,0001", "3XF0,10,0001!"},
        {Code::AutoZero, 28, "ignored", "3XSPM0.0!"},
        {Code::SpecificGravitySet, 29, "0.97561", "3XU0,0.97561!"},
        {Code::SpecificGravityQuery, 30, none, "3XU0!"},
        {Code::LevelOffset, 31, "0.25", "3XSPM0.25!"},
        {Code::TrimOff, 32, none, "3XTRIMOF0.0!"},
        {Code::TrimOn, 33, "1", "3XTRIMON1!"},
        {Code::ZeroCorrectionSet, 34, "-0.012", "3XANCLV0,-0.012!"},
        {Code::SlopeSet, 35, "1.0", "3XANCLV1,1.0!"},
        {Code::XU1Set, 36, "0.0", "3XU1,0.0!"},
        {Code::ZeroCorrectionQuery, 37, none, "3XANCLV0!"},
        {Code::SlopeQuery, 38, none, "3XANCLV1!"},
        {Code::CalibrationOn, 39, none, "3XANCALON1!"},
        {Code::RotaryAddressChange, 101, "6", "3A6!"},
        {Code::RotaryUnitsQuery, 102, none, "3XMU!"},
        {Code::RotaryUnitsSet, 103, "2", "3XMU2!"},
        {Code::RotaryCircumferenceQuery, 104, none, "3XCP!"},
        {Code::RotaryCircumferenceSet, 105, "250", "3XCP250!"},
        {Code::RotaryDirectionQuery, 106, none, "3XRD!"},
        {Code::RotaryDirectionSet, 107, "1", "3XRD1!"},
        {Code::RotaryCountsQuery, 108, none, "3XPC!"},
        {Code::RotaryCurrentValueQuery, 110, none, "3XCV!"},
        {Code::RotaryCurrentValueSet, 111, "12.5", "3XCV12.5!"},
        {Code::RotaryIdentification, 112, none, "3I!"},
        {Code::RotarySerialNumberQuery, 113, none, "3XSN!"},
        {Code::RotarySetZero, 114, none, "3XZE!"},
        {Code::RotaryMeasure, 116, none, "3C!"},
        {Code::RotaryData, 117, none, "3D0!"},
    };
    for (const Row& r : rows)
        QTest::addRow("code %d", r.number) << 3 << r.code << r.number << r.value << r.bytes;

    // Examples a technician would meet.
    QTest::newRow("unit 5 on tab 2")
        << 2 << Code::PressUnitsSet << 3 << *Catalogue::codeValue(5) << QByteArray("2XUP5!");
    QTest::newRow("unit 12 on tab 2")
        << 2 << Code::PressUnitsSet << 3 << *Catalogue::codeValue(12) << QByteArray("2XUP12!");
    QTest::newRow("filter 5 x 250 on tab 0")
        << 0 << Code::FilterSet << 27 << *Catalogue::filterValue(5, 250)
        << QByteArray("0XF0,05,0250!");
    QTest::newRow("empty level text on tab 1")
        << 1 << Code::LevelSet << 20 << QByteArray() << QByteArray("1XLOF!");
    QTest::newRow("text sent as typed")
        << 0 << Code::RangeSet << 14 << QByteArray("1.50") << QByteArray("0XRA1.50!");
    QTest::newRow("tab 7 starts with 7")
        << 7 << Code::Measure << 11 << QByteArray() << QByteArray("7M!");
    QTest::newRow("trim off always 0.0")
        << 9 << Code::TrimOff << 32 << QByteArray("5") << QByteArray("9XTRIMOF0.0!");
    QTest::newRow("no selection sends '-'")
        << 4 << Code::RotaryUnitsSet << 103 << Catalogue::digitValue(-1) << QByteArray("4XMU-!");
}

void CatalogueTest::requestBytes() {
    QFETCH(int, page);
    QFETCH(Code, code);
    QFETCH(int, number);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, bytes);
    // The name stands for its number, and the number for its bytes, in both directions.
    QCOMPARE(int(sdilink::number(code)), number);
    QCOMPARE(Catalogue::request(page, static_cast<Code>(number), value), bytes);
    const QByteArray request = Catalogue::request(page, code, value);
    QCOMPARE(request, bytes);
    QVERIFY(!request.contains('\r') && !request.contains('\n'));
}

void CatalogueTest::valueBuilders() {
    QCOMPARE(Catalogue::codeValue(0), std::optional<QByteArray>("0"));
    QCOMPARE(Catalogue::codeValue(99), std::optional<QByteArray>("99"));
    QVERIFY(!Catalogue::codeValue(100));
    QVERIFY(!Catalogue::codeValue(-1));
    QCOMPARE(Catalogue::filterValue(99, 9999), std::optional<QByteArray>("0,99,9999"));
    QVERIFY(!Catalogue::filterValue(100, 1));
    QVERIFY(!Catalogue::filterValue(10, 10000));
    QCOMPARE(Catalogue::digitValue(1), QByteArray("1"));
    QCOMPARE(Catalogue::textValue(QStringLiteral("1.5")), QByteArray("1.5"));
}

void CatalogueTest::codesNeverSent() {
    for (qint16 number : {40, 100, 109, 115, 118, -1})
        QVERIFY(Catalogue::request(0, static_cast<Code>(number)).isEmpty());
    // The acknowledge "a!" is built by the address change itself.
    QCOMPARE(sdilink::number(Code::Acknowledge), qint16(-1));
}

void CatalogueTest::roundIt_data() {
    QTest::addColumn<double>("number");
    QTest::addColumn<int>("places");
    QTest::addColumn<double>("rounded");
    QTest::newRow("half up") << 2.5 << 0 << 3.0;
    QTest::newRow("negative half towards +inf") << -2.5 << 0 << -2.0;
    QTest::newRow("four places") << 1.23456 << 4 << 1.2346;
    QTest::newRow("six places") << 1.0 / 1.025 << 6 << 0.97561;
    QTest::newRow("overflow gives 0") << 1e308 << 10 << 0.0;
    QTest::newRow("infinity gives 0") << HUGE_VAL << 2 << 0.0;
}

void CatalogueTest::roundIt() {
    QFETCH(double, number);
    QFETCH(int, places);
    QFETCH(double, rounded);
    QCOMPARE(protocol::RoundIt(number, places), rounded);
}

void CatalogueTest::plainNumberText_data() {
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("2.5") << 2.5 << "2.5";
    QTest::newRow("3") << 3.0 << "3";
    QTest::newRow("negative") << -0.25 << "-0.25";
    QTest::newRow("15 significant digits") << 10.0 / 9.8 << "1.02040816326531";
    QTest::newRow("small, no exponent") << 0.0000001 << "0.0000001";
    QTest::newRow("large, no exponent") << 1e18 << "1000000000000000000";
    QTest::newRow("zero") << 0.0 << "0";
    // Plain text of 20 characters or more: an exponent, with 15 significant digits at most.
    QTest::newRow("large, exponent") << 1e20 << "1e+20";
    QTest::newRow("19 characters") << 0.00012345678901234 << "0.00012345678901234";
    QTest::newRow("20 characters") << 0.000123456789012345 << "1.23456789012345e-04";
}

void CatalogueTest::plainNumberText() {
    QFETCH(double, number);
    QFETCH(QString, text);
    QCOMPARE(protocol::plainNumberText(number), text);
}

void CatalogueTest::signedText_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("value");
    QTest::newRow("plus dropped") << "3XRA!3+1.23456"
                                  << "1.23456";
    QTest::newRow("minus kept") << "3XRA!3-0.25"
                                << "-0.25";
    QTest::newRow("no sign") << "3XRA!310"
                             << "10";
    // A "+" typed into the request must not strip the answer's "-".
    QTest::newRow("plus in the echo") << "1XLOF+1.5!1-1.5"
                                      << "-1.5";
    QTest::newRow("empty answer") << "3XRA!3"
                                  << "";
    QTest::newRow("no address") << "3XRA!"
                                << "";
}

void CatalogueTest::signedText() {
    QFETCH(QString, line);
    QFETCH(QString, value);
    QCOMPARE(protocol::ReplyLine(line).signedText(), value);
}

void CatalogueTest::dataAnswer_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("two plus") << "+12.345+21.5"
                              << "12.345"
                              << "21.5";
    QTest::newRow("minus then plus") << "-0.012+20.1"
                                     << "-0.012"
                                     << "20.1";
    QTest::newRow("one value") << "+5.5"
                               << "5.5"
                               << "";
    QTest::newRow("plus then minus") << "+1.0-3.5"
                                     << "1.0"
                                     << "-3.5";
    QTest::newRow("two minus") << "-1.0-3.5"
                               << "-1.0"
                               << "-3.5";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
}

void CatalogueTest::dataAnswer() {
    QFETCH(QString, answer);
    QFETCH(QString, first);
    QFETCH(QString, second);
    const protocol::DataValues v = protocol::splitDataAnswer(answer);
    QCOMPARE(v.first, first);
    QCOMPARE(v.second, second);
}

void CatalogueTest::positionsBeyondTheEnd() {
    const protocol::ReplyLine line(QStringLiteral("0M!"));
    QCOMPARE(line.p(), 3);
    QCOMPARE(line.digitAt(5), 0);
    QCOMPARE(line.digitsAt(5, 3), 0);
    QCOMPARE(line.mid(4, 8), QString());
    QCOMPARE(line.from(10), QString());
    QCOMPARE(line.digitAt(0), 0);
    QCOMPARE(protocol::ReplyLine(QStringLiteral("nothing")).p(), 0);
}

QTEST_APPLESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
