#include "SheetReaders.h"
#include "core/export/LogSheet.h"
#include "core/export/SafeSave.h"
#include "core/export/XlsWriter.h"
#include "core/export/XlsxWriter.h"
#include "core/logging/LogModel.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using logexport::Format;
using logexport::WriteResult;
using logging::LogModel;
using testing::Grid;

Q_DECLARE_METATYPE(logexport::Format)

namespace {

QDateTime at(int day, const char* time) {
    return QDateTime(QDate(2026, 12, day), QTime::fromString(QLatin1String(time), u"hh:mm:ss"));
}

// Readings in the order they came; the sheet shows them newest first.
void fill(LogModel& log) {
    if (log.layout() == LogModel::Layout::Rotary) {
        log.addRow(at(6, "23:59:59"), u"12.5", u"Metres");
        log.addRow(at(7, "00:00:01"), u"-0.25", u"Feet, \"US\"");
        return;
    }
    log.addRow(at(6, "09:00:00"), u"1013.25", u"mbar", u"21.5", u"Centigrade");
    log.addRow(at(6, "09:00:05"), u"-3", u"Inch Hg", u"", u"Centigrade");
    log.addRow(at(6, "09:00:10"), u"1e3", u"kPa", u"n/a", u"");
}

Grid expected(LogModel::Layout layout) {
    if (layout == LogModel::Layout::Rotary)
        return {{"Date", "Time", "Level", "Units"},
                {},
                {"d:2026-12-07", "t:00:00:01", "#-0.25", "Feet, \"US\""},
                {"d:2026-12-06", "t:23:59:59", "#12.5", "Metres"}};
    // An empty or non-numeric value is an empty cell, never 0.
    return {{"Date", "Time", "Pressure", "Units", "Temperature", "Units"},
            {},
            {"d:2026-12-06", "t:09:00:10", "#1000", "kPa"},
            {"d:2026-12-06", "t:09:00:05", "#-3", "Inch Hg", "", "Centigrade"},
            {"d:2026-12-06", "t:09:00:00", "#1013.25", "mbar", "#21.5", "Centigrade"}};
}

WriteResult write(Format format, const LogModel& log, const QString& path,
                  const logexport::Progress& progress = {}) {
    const logexport::LogSheet sheet(log);
    return logexport::makeWriter(format)->write(sheet, path, progress);
}

// Fails after writing part of the file, as a full disk would.
class FailingWriter final : public logexport::SheetWriter {
public:
    WriteResult write(const logexport::LogSheet&, const QString& path,
                      const logexport::Progress&) override {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("partial");
        return WriteResult::failed(QStringLiteral("No space left on device"));
    }
};

} // namespace

class WritersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void contents_data();
    void contents();
    void xlsxColumnsFitAndCentred_data();
    void xlsxColumnsFitAndCentred();
    void largestXlsAndLongTexts();
    void tooLongForXlsx();
    void failedWriteKeepsTheOldFile();
};

void WritersTest::contents_data() {
    QTest::addColumn<Format>("format");
    QTest::addColumn<bool>("rotary");
    for (bool rotary : {false, true}) {
        const char* family = rotary ? "rotary" : "level";
        QTest::addRow("xls %s", family) << Format::Xls << rotary;
        QTest::addRow("xlsx %s", family) << Format::Xlsx << rotary;
        QTest::addRow("csv %s", family) << Format::Csv << rotary;
    }
}

void WritersTest::contents() {
    QFETCH(Format, format);
    QFETCH(bool, rotary);
    const auto layout = rotary ? LogModel::Layout::Rotary : LogModel::Layout::LevelProbe;
    LogModel log(layout);
    fill(log);
    QTemporaryDir dir;
    const QString path =
        dir.filePath(QStringLiteral("log") + QStringList{".xls", ".xlsx", ".csv"}.at(int(format)));
    QCOMPARE(write(format, log, path).status, WriteResult::Status::Written);

    Grid want = expected(layout);
    if (format == Format::Csv) {
        // Text has no kinds: dates, times and numbers are their texts.
        static const QRegularExpression kind(QStringLiteral("^(d:|t:|#)"));
        for (QStringList& row : want)
            for (QString& cell : row)
                cell.remove(kind);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count("\r\n"), want.size());
        QCOMPARE(bytes.count('\n'), want.size());
    }
    QCOMPARE(testing::readSheet(path), want);
    if (format == Format::Xls)
        QCOMPARE(testing::xlsStringIndexMismatch(path), QString());
}

void WritersTest::xlsxColumnsFitAndCentred_data() {
    QTest::addColumn<int>("readings");
    QTest::newRow("in memory") << 3;
    QTest::newRow("constant memory") << logexport::XlsxWriter::kConstantMemoryRows + 1;
}

void WritersTest::xlsxColumnsFitAndCentred() {
    QFETCH(int, readings);
    LogModel log(LogModel::Layout::LevelProbe);
    for (int i = 0; i < readings; ++i)
        log.addRow(at(6, "10:00:00").addSecs(i), u"1013.25", u"Pascal absolute", u"7",
                   u"Centigrade");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.xlsx"));
    QCOMPARE(write(Format::Xlsx, log, path).status, WriteResult::Status::Written);
    const testing::XlsxSheet sheet = testing::readXlsx(path);

    QCOMPARE(sheet.cells.size(), readings + 2);
    QCOMPARE(sheet.cells.at(2).at(1),
             QStringLiteral("t:%1").arg(QTime(10, 0).addSecs(readings - 1).toString()));
    QCOMPARE(sheet.cells.last().at(1), QStringLiteral("t:10:00:00"));
    // Each column at least as wide as its widest text: "2026-12-06", "10:00:00", "1013.25",
    // "Pascal absolute", "Temperature", "Centigrade".
    const QList<int> widest{10, 8, 8, 15, 11, 10};
    QCOMPARE(sheet.columnWidths.size(), widest.size());
    for (int c = 0; c < widest.size(); ++c) {
        QVERIFY2(sheet.columnWidths.at(c) >= widest.at(c), qPrintable(QString::number(c)));
        QVERIFY(sheet.columnWidths.at(c) <= widest.at(c) + 4);
    }
    QCOMPARE(sheet.columnAlignment, QStringList(6, QStringLiteral("center")));
    QCOMPARE(sheet.cellAlignment.count(QStringLiteral("center")), sheet.cellAlignment.size());
}

void WritersTest::largestXlsAndLongTexts() {
    // The most readings a sheet holds, units texts long and distinct enough that the string
    // table spans many records (texts split between them) and the file needs more FAT sectors
    // than its header lists.
    LogModel log(LogModel::Layout::LevelProbe);
    const int readings = logexport::XlsWriter::kMaxReadings;
    const int longTexts = 1000;
    for (int i = 0; i < readings; ++i) {
        const QString units = i < readings - longTexts ? QStringLiteral("Ünits €")
                                                       : QStringLiteral("%1 ").arg(i).repeated(170);
        log.addRow(at(6, "00:00:00").addSecs(i), QString::number(i), units, u"1", u"C");
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.xls"));
    QCOMPARE(write(Format::Xls, log, path).status, WriteResult::Status::Written);
    QVERIFY(QFileInfo(path).size() > 109 * 128 * 512);

    QString error;
    const Grid grid = testing::readXls(path, &error);
    QCOMPARE(error, QString());
    QCOMPARE(grid.size(), 65536);
    QCOMPARE(grid.at(2).mid(2, 2),
             (QStringList{QStringLiteral("#65533"), QStringLiteral("65533 ").repeated(170)}));
    QCOMPARE(grid.at(2 + longTexts - 1).at(3), QStringLiteral("64534 ").repeated(170));
    QCOMPARE(grid.last().mid(1, 3), (QStringList{"t:00:00:00", "#0", "Ünits €"}));
    QCOMPARE(testing::xlsStringIndexMismatch(path), QString());

    log.addRow(at(7, "00:00:00"), u"1", u"C", u"1", u"C");
    const WriteResult refused = write(Format::Xls, log, path);
    QCOMPARE(refused.status, WriteResult::Status::Failed);
    QVERIFY(refused.error.contains(QStringLiteral("65,534")));
}

void WritersTest::tooLongForXlsx() {
    LogModel log(LogModel::Layout::Rotary);
    for (int i = 0; i <= logexport::XlsxWriter::kMaxReadings; ++i)
        log.addRow(at(6, "00:00:00"), u"1", u"m");
    QTemporaryDir dir;
    const WriteResult refused = write(Format::Xlsx, log, dir.filePath(QStringLiteral("log.xlsx")));
    QCOMPARE(refused.status, WriteResult::Status::Failed);
    QCOMPARE(refused.error, QStringLiteral("An .xlsx sheet holds at most 1,048,574 readings."));
}

void WritersTest::failedWriteKeepsTheOldFile() {
    LogModel log(LogModel::Layout::LevelProbe);
    fill(log);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.xlsx"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("yesterday's readings");
    old.close();

    FailingWriter writer;
    const WriteResult result = logexport::saveReplacing(writer, logexport::LogSheet(log), path, {});
    QCOMPARE(result.error, QStringLiteral("No space left on device"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("yesterday's readings"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"log.xlsx"});
}

QTEST_GUILESS_MAIN(WritersTest)
#include "tst_writers.moc"
