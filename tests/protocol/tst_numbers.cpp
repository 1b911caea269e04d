#include "core/protocol/Numbers.h"

#include <QLocale>
#include <QTest>

using protocol::NumberForm;

namespace {

// The forms the tool reads numbers in: answers and typed values, exported log cells, and
// plotted log values (read from the log's UTF-8 bytes).
enum Form { Answer, Cell, Plotted };

const double kNone = qQNaN();

} // namespace

class NumbersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Read in another locale, to show the locale never matters.
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void parseNumber_data();
    void parseNumber();
    void leadingNumber_data();
    void leadingNumber();
};

void NumbersTest::parseNumber_data() {
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value"); // NaN: no number
    const auto row = [](const char* name, Form form, const QString& text, double value) {
        QTest::newRow(name) << int(form) << text << value;
    };
    row("plain", Answer, "1.25", 1.25);
    row("plus", Answer, "+0.97561", 0.97561);
    row("minus", Answer, "-3", -3.0);
    row("blanks", Answer, " 7 ", 7.0);
    row("line end and no-break space", Answer, QString::fromUtf8("\u00a07\r\n"), 7.0);
    row("blank and sign after the plus", Answer, "+ -5", -5.0);
    row("blank after the minus", Answer, "- 5", kNone);
    row("fraction only", Answer, ".5", 0.5);
    row("thousands", Answer, "1,000,000.5", 1000000.5);
    row("group too long", Answer, "1,0000", kNone);
    row("first group too long", Answer, "1000,000", kNone);
    row("comma is no decimal point", Answer, "1,5", kNone);
    row("empty", Answer, "", kNone);
    row("letters", Answer, "abc", kNone);
    row("trailing junk", Answer, "1.5x", kNone);
    row("too small", Answer, "1e-400", kNone);

    row("cell decimal", Cell, "1013.25", 1013.25);
    row("cell plus", Cell, "+7", 7.0);
    row("cell exponent", Cell, "1.5E-3", 0.0015);
    row("cell empty", Cell, "", kNone);
    row("cell trailing text", Cell, "12abc", kNone);
    row("cell two signs", Cell, "+-3", kNone);
    row("cell infinity", Cell, "1e999", kNone);
    row("cell blank", Cell, " 7", kNone);
    row("cell thousands", Cell, "1,000", kNone);

    row("plotted negative", Plotted, "-2.5", -2.5);
    row("plotted plus", Plotted, "+5", kNone);
    row("plotted not a number", Plotted, "nan", kNone);
    row("plotted digit of another script", Plotted, QString::fromUtf8("\u0663"), kNone);
}

void NumbersTest::parseNumber() {
    QFETCH(int, form);
    QFETCH(QString, text);
    QFETCH(double, value);
    std::optional<double> read;
    if (form == Plotted) {
        const QByteArray utf8 = text.toUtf8();
        read = protocol::parseNumber(std::string_view(utf8.constData(), size_t(utf8.size())),
                                     {.plus = false});
    } else {
        read = protocol::parseNumber(text, form == Cell ? NumberForm{} : protocol::kAnswerNumber);
    }
    QCOMPARE(read.has_value(), !qIsNaN(value));
    if (read)
        QCOMPARE(*read, value);
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
