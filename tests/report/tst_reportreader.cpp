#include "core/levelprobe/LevelRecord.h"
#include "core/report/ConfigReport.h"
#include "core/report/ReportReader.h"
#include "core/rotary/RotaryRecord.h"

#include <QTest>

namespace {

// A level-probe report of 13 lines: line 1 identification, 2 serial, 3 address, 4-13 the
// settings ("Local Gravity" on line 9, "Logging Period" on line 13).
const QStringList kLevel =
    QStringLiteral("SDI Version = 1.3|Serial Number = 4711|Sensor Address = 3|Range = 10|"
                   "Maximium Over Range = 12.5|Pressure Units = mbar|Temperature Units = "
                   "Centigrade|Density Correction = Compensated|Local Gravity = 9.81|Local "
                   "Level = 0.0|Reverse = Off|Max. Sample Rate = 2 Seconds|Logging Period = 1 "
                   "Second")
        .split(u'|');

// kLevel with line n (1-based) replaced; an empty list removes it.
QByteArray levelWith(int n, const QStringList& replacement) {
    QStringList lines = kLevel;
    lines.remove(n - 1);
    for (qsizetype i = 0; i < replacement.size(); ++i)
        lines.insert(n - 1 + i, replacement.at(i));
    return report::fileText(lines);
}

const QString kSerialMissing =
    "The file is not a configuration report: it has no \"Serial Number = \" line.";
const QString kNotText = "The file is not a configuration report: it is not text.";
const QString kNotALevelLine = " is not a line of a level-probe configuration report.";

} // namespace

class ReportReaderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void whatSaveAsWritesReadsBack_data();
    void whatSaveAsWritesReadsBack();
    void lines_data();
    void lines();
};

void ReportReaderTest::whatSaveAsWritesReadsBack_data() {
    QTest::addColumn<bool>("rotary");
    QTest::addColumn<bool>("filled");    // values with " = ", spaces and umlauts, or none
    QTest::addColumn<QByteArray>("end"); // the line end
    QTest::addColumn<bool>("lastEnded");
    QTest::addColumn<QByteArray>("after"); // appended to the file
    QTest::newRow("level, CR LF") << false << true << QByteArray("\r\n") << true << QByteArray();
    QTest::newRow("level, LF, last line open")
        << false << true << QByteArray("\n") << false << QByteArray();
    QTest::newRow("level, empty values, empty lines after")
        << false << false << QByteArray("\r\n") << true << QByteArray("\r\n \t\n\n");
    QTest::newRow("rotary, CR LF, last line open")
        << true << true << QByteArray("\r\n") << false << QByteArray();
    QTest::newRow("rotary, empty values, LF")
        << true << false << QByteArray("\n") << true << QByteArray();
}

// Whatever "Save As..." writes, with the line ends an editor may leave, reads back to the
// lines it was written from: identification lines and values with " = " in them, values
// with spaces at their ends, empty values.
void ReportReaderTest::whatSaveAsWritesReadsBack() {
    QFETCH(bool, rotary);
    QFETCH(bool, filled);
    QFETCH(QByteArray, end);
    QFETCH(bool, lastEnded);
    QFETCH(QByteArray, after);
    const QStringList ids{"SDI Version = 1.3", "Company Name = CORVANE ", "Sensor Model = A = B",
                          "Sensor Version = 214"};
    report::ConfigReport written;
    if (rotary) {
        rotary::RotaryRecord r;
        if (filled) {
            r.identification = ids;
            r.serialNumber = "52 = 861";
            r.units = 1;
            r.measurementRes = "0.3 ";
            r.maxRange = "Höhe = 1 m";
        }
        written = report::rotaryReport(r, 9);
    } else {
        levelprobe::LevelRecord r;
        if (filled) {
            r.identification = ids;
            r.serialNumber = "ÄÖ 47/11";
            r.pressureUnit = 13;
            r.localLevel = " 0.25";
            r.logPeriod = "Range = 10";
        }
        written = report::levelReport(r, 0);
    }
    QByteArray bytes = report::fileText(written.lines).replace("\r\n", end);
    if (!lastEnded)
        bytes.chop(end.size());

    const report::ReadReport read = report::readReport(bytes + after);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.rotary, rotary);
    QStringList labels, values;
    for (const report::ReportSetting& s : read.settings) {
        labels << s.label;
        values << s.value;
        QCOMPARE(s.line, read.identification.size() + 3 + labels.size() - 1);
    }
    QCOMPARE(labels, rotary ? report::rotaryReportLabels() : report::levelReportLabels());
    QCOMPARE(
        report::reportLines(read.identification, read.serialNumber, read.address, labels, values),
        written.lines);
}

void ReportReaderTest::lines_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error"); // empty: read

    const QByteArray level = report::fileText(kLevel);
    const auto row = [](const char* name, const QByteArray& bytes, const QString& error) {
        QTest::newRow(name) << bytes << error;
    };
    row("empty lines and spaces after the last", level + "\r\n  \t\n\r\n", "");
    row("a byte-order mark before it", "\xef\xbb\xbf" + level, "");
    row("64 KiB", level + QByteArray(64 * 1024 - level.size(), '\n'), "");
    row("one byte over 64 KiB", level + QByteArray(64 * 1024 - level.size() + 1, '\n'),
        "The file is not a configuration report: it is larger than 64 KiB.");
    row("empty file", "", "The file is empty.");
    row("a NUL byte", levelWith(4, {QString(QChar(0)) + "Range = 10"}), kNotText);
    row("no UTF-8", QByteArray(level).replace("mbar", "\xb5"), kNotText);
    row("a character cut off at the end", level + "\xc3", kNotText);
    row("a CR that ends no line", levelWith(6, {"Pressure Units = mbar\rX"}),
        "Line 6 (\"Pressure Units = mbar?X\") holds a carriage return (CR) that no line feed "
        "(LF) follows.");
    row("no serial number", levelWith(2, {}), kSerialMissing);
    row("ends after the serial number", report::fileText(kLevel.mid(0, 2)),
        "The configuration report ends before its \"Sensor Address = \" line.");
    row("no address line", levelWith(3, {}),
        "Line 3 (\"Range = 10\") is not the \"Sensor Address = \" line that follows the serial "
        "number.");
    row("address no digit", levelWith(3, {"Sensor Address = x"}),
        "Line 3 (\"Sensor Address = x\") does not give an address from 0 to 9.");
    row("ends after the address", report::fileText(kLevel.mid(0, 3)) + "\r\n",
        "The configuration report ends after its \"Sensor Address = \" line, before its "
        "settings.");
    row("first setting of no family", levelWith(4, {"Rnage = 10"}),
        "Line 4 (\"Rnage = 10\") is neither the first setting line of a level-probe "
        "configuration report (\"Range = \") nor that of a rotary-encoder one (\"Maximum "
        "Range = \").");
    row("misspelt label", levelWith(7, {"Temprature Units = Centigrade"}),
        "Line 7 (\"Temprature Units = Centigrade\")" + kNotALevelLine);
    row("the report's spelling corrected", levelWith(5, {"Maximum Over Range = 12.5"}),
        "Line 5 (\"Maximum Over Range = 12.5\")" + kNotALevelLine);
    row("a long line quoted short", levelWith(7, {QString(70, 'x')}),
        "Line 7 (\"" + QString(60, 'x') + "...\")" + kNotALevelLine);
    QStringList swapped = kLevel;
    swapped.swapItemsAt(9, 10);
    row("two lines swapped", report::fileText(swapped),
        "Line 10 (\"Reverse = Off\") is out of place: a level-probe configuration report has its "
        "\"Local Level = \" line there.");
    row("an empty line among the settings", levelWith(9, {""}),
        "Line 9 is empty where a level-probe configuration report has its \"Local Gravity = \" "
        "line.");
    row("ends early", report::fileText(kLevel.mid(0, 8)) + "\r\n\r\n",
        "The level-probe configuration report ends before its \"Local Gravity = \" line.");
    row("a line after the last", level + "\r\nRange = 5\r\n",
        "Line 15 (\"Range = 5\") follows the last line of a level-probe configuration report: "
        "only empty lines may follow its \"Logging Period = \" line.");
    row("a rotary report ends early",
        report::fileText({"Serial Number = 1", "Sensor Address = 0", "Maximum Range = 5",
                          "Counts Per Revolution = 1024", "Measurement Resolution = 0.1",
                          "Measurement Units = Feet", "Pulley Circumference (mm) = 375"}),
        "The rotary-encoder configuration report ends before its \"Rotation Direction = \" "
        "line.");
}

// Each line that does not fit is named with its number and text; what fits is read.
void ReportReaderTest::lines() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    const report::ReadReport read = report::readReport(bytes);
    QCOMPARE(read.error, error);
    QCOMPARE(read.ok, error.isEmpty());
    QCOMPARE(read.settings.size(), read.ok ? kLevel.size() - 3 : 0);
}

QTEST_MAIN(ReportReaderTest)
#include "tst_reportreader.moc"
