#include "protocol/Numbers.h"

#include <QLocale>
#include <QTest>

using protocol::NumberForm;

namespace {

const double kNone = qQNaN();

// Compares a reading with the expected value, NaN standing for no number.
void compareNumber(std::optional<double> read, double expected) {
    QCOMPARE(read.has_value(), !qIsNaN(expected));
    if (read)
        QCOMPARE(*read, expected);
}

} // namespace

class NumbersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Read in another locale, to show the locale never matters.
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void answerNumber_data();
    void answerNumber();
    void logCellNumber_data();
    void logCellNumber();
    void logValueBytes_data();
    void logValueBytes();
    void leadingNumber_data();
    void leadingNumber();
};

void NumbersTest::answerNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value"); // NaN: no number
    QTest::newRow("plain") << "1.25" << 1.25;
    QTest::newRow("plus") << "+0.97561" << 0.97561;
    QTest::newRow("minus") << "-3" << -3.0;
    QTest::newRow("blanks") << " 7 " << 7.0;
    QTest::newRow("line end and no-break space") << QString::fromUtf8("\u00a07\r\n") << 7.0;
    QTest::newRow("blank after the plus") << "+ -5" << -5.0;
    QTest::newRow("blank after the minus") << "- 5" << kNone;
    QTest::newRow("fraction only") << ".5" << 0.5;
    QTest::newRow("point at the end") << "5." << 5.0;
    QTest::newRow("exponent") << "1.5E-3" << 0.0015;
    QTest::newRow("thousands") << "1,000,000.5" << 1000000.5;
    QTest::newRow("thousands and exponent") << "1,000e3" << 1e6;
    QTest::newRow("group too long") << "1,0000" << kNone;
    QTest::newRow("first group too long") << "1000,000" << kNone;
    QTest::newRow("comma is no decimal point") << "1,5" << kNone;
    QTest::newRow("empty") << "" << kNone;
    QTest::newRow("plus only") << "+" << kNone;
    QTest::newRow("letters") << "abc" << kNone;
    QTest::newRow("trailing junk") << "1.5x" << kNone;
    QTest::newRow("exponent without digits") << "1e" << kNone;
    QTest::newRow("infinity") << "1e999" << kNone;
    QTest::newRow("too small") << "1e-400" << kNone;
    QTest::newRow("inf") << "inf" << kNone;
}

void NumbersTest::answerNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    compareNumber(protocol::parseNumber(text), value);
}

void NumbersTest::logCellNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value"); // NaN: no number
    QTest::newRow("decimal") << "1013.25" << 1013.25;
    QTest::newRow("plus") << "+7" << 7.0;
    QTest::newRow("exponent") << "1.5E-3" << 0.0015;
    QTest::newRow("empty") << "" << kNone;
    QTest::newRow("trailing text") << "12abc" << kNone;
    QTest::newRow("two signs") << "+-3" << kNone;
    QTest::newRow("infinity") << "1e999" << kNone;
    QTest::newRow("blanks") << " 7" << kNone;
    QTest::newRow("thousands") << "1,000" << kNone;
}

void NumbersTest::logCellNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    compareNumber(protocol::parseNumber(text, {.plus = true}), value);
}

void NumbersTest::logValueBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<double>("value"); // NaN: no number
    QTest::newRow("negative") << QByteArray("-2.5") << -2.5;
    QTest::newRow("exponent") << QByteArray("1e3") << 1000.0;
    QTest::newRow("plus") << QByteArray("+5") << kNone;
    QTest::newRow("empty") << QByteArray() << kNone;
    QTest::newRow("blank after") << QByteArray("5 ") << kNone;
    QTest::newRow("not a number") << QByteArray("nan") << kNone;
    QTest::newRow("digit of another script") << QByteArray("\xd9\xa3") << kNone;
    QTest::newRow("no-break space before") << QByteArray("\xc2\xa0"
                                                         "5")
                                           << kNone;
}

void NumbersTest::logValueBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(double, value);
    const std::string_view text(bytes.constData(), static_cast<size_t>(bytes.size()));
    compareNumber(protocol::parseNumber(text, {.plus = false}), value);
}

void NumbersTest::leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << "400" << 400.0;
    QTest::newRow("decimal point") << "20.5" << 20.5;
    QTest::newRow("trailing text") << "15ms" << 15.0;
    QTest::newRow("percent typed") << "20%" << 20.0;
    QTest::newRow("blanks before") << "  7" << 7.0;
    QTest::newRow("line end before") << "\n7" << 0.0;
    QTest::newRow("sign") << "-3.5" << -3.5;
    QTest::newRow("plus sign") << "+8" << 8.0;
    QTest::newRow("fraction only") << ".5" << 0.5;
    QTest::newRow("point at the end") << "12." << 12.0;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("exponent without digits") << "2e" << 2.0;
    QTest::newRow("exponent sign without digits") << "2e+x" << 2.0;
    QTest::newRow("comma is not a decimal point") << "20,5" << 20.0;
    QTest::newRow("second point ends the number") << "1.2.3" << 1.2;
    QTest::newRow("out of range") << "5e999" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("text") << "abc" << 0.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("point only") << "." << 0.0;
}

void NumbersTest::leadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(protocol::leadingNumber(text), value);
}

QTEST_GUILESS_MAIN(NumbersTest)
#include "tst_numbers.moc"
