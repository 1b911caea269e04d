#include "logging/JournalFormat.h"
#include "logging/JournalReader.h"
#include "logging/LogModel.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace logging;

// The journal on disk: how it reads back whole or cut short.
class JournalTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsBackWhatWasWritten_data();
    void readsBackWhatWasWritten();
    void tornLastLineSkippedAndCounted();
};

namespace {

const QDateTime kStart(QDate(2026, 12, 6), QTime(14, 3, 27), Qt::OffsetFromUTC, 3600);

QByteArray levelJournal(int readings, QByteArray* lastLine = nullptr) {
    QByteArray text = journal::headerLines(
        {false, 3, "60012345", "Metres", "Centigrade", "COM5 /dev/ttyUSB0", kStart});
    for (int i = 0; i < readings; ++i) {
        QByteArray line;
        journal::appendReading(line, kStart.addSecs(i), false, QString::number(i), "Metres", "20.5",
                               "Centigrade");
        text += line;
        if (lastLine)
            *lastLine = line;
    }
    return text;
}

void writeFile(const QString& path, const QByteArray& bytes, int daysOld = 0) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.flush();
    f.setFileTime(QDateTime::currentDateTime().addDays(-daysOld).addSecs(-60),
                  QFileDevice::FileModificationTime);
}

} // namespace

void JournalTest::readsBackWhatWasWritten_data() {
    QTest::addColumn<bool>("rotary");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("level") << false << QStringList{"1.234", "Metres", "20.5", "Centigrade"};
    QTest::newRow("level, empty temperature") << false << QStringList{"-0.5", "bar", "", ""};
    QTest::newRow("quotes and commas") << false << QStringList{"1,5", "\"in\"", "2", "°C, x"};
    QTest::newRow("rotary") << true << QStringList{"+12.345", "Metres"};
}

void JournalTest::readsBackWhatWasWritten() {
    QFETCH(bool, rotary);
    QFETCH(QStringList, fields);
    fields.resize(4);
    QTemporaryDir dir;
    QByteArray text =
        journal::headerLines({rotary, 2, "SN, 7", fields[1], fields[3], "COM1", kStart});
    journal::appendReading(text, kStart, rotary, fields[0], fields[1], fields[2], fields[3]);
    text += journal::missedLine(kStart.addSecs(1), "no answer");
    text += journal::movedLine(kStart.addSecs(2), 2, 8);
    journal::appendReading(text, kStart.addSecs(3), rotary, fields[0], fields[1], fields[2],
                           fields[3]);
    writeFile(dir.filePath("j.csv"), text);

    LogModel log(rotary ? LogModel::Layout::Rotary : LogModel::Layout::LevelProbe);
    const JournalSummary s = readJournal(dir.filePath("j.csv"), &log);
    QVERIFY2(s.error.isEmpty(), qPrintable(s.error));
    QCOMPARE(s.header.rotary, rotary);
    QCOMPARE(s.header.serial, QStringLiteral("SN, 7"));
    QCOMPARE(s.header.started, kStart);
    QCOMPARE(s.address, 8);
    QCOMPARE(s.readings, 2);
    QCOMPARE(s.missed, 1);
    QCOMPARE(s.first, kStart);
    QCOMPARE(s.last, kStart.addSecs(3));
    QCOMPARE(s.incompleteLines + s.unreadableLines, 0);
    QVERIFY(!s.finished);
    QCOMPARE(log.rowCount(), 2);
    QCOMPARE(log.time(0), QTime(14, 3, 30)); // local time as it was logged
    for (int c = 0; c < log.columnCount() - 2; ++c)
        QCOMPARE(log.text(0, c + 2), fields[c]);
}

void JournalTest::tornLastLineSkippedAndCounted() {
    // A power cut leaves the last line cut anywhere, or blocks of zeros after it.
    QTemporaryDir dir;
    QByteArray last;
    const QByteArray whole = levelJournal(5, &last);
    const QString path = dir.filePath("j.csv");
    for (qsizetype cut = 0; cut <= last.size(); ++cut) {
        writeFile(path, whole.left(whole.size() - last.size() + cut));
        LogModel log(LogModel::Layout::LevelProbe);
        const JournalSummary s = readJournal(path, &log);
        const bool torn = cut > 0 && cut < last.size();
        QCOMPARE(s.readings, cut == last.size() ? 5 : 4);
        QCOMPARE(log.rowCount(), s.readings);
        QCOMPARE(s.incompleteLines, torn ? 1 : 0);
        QCOMPARE(s.last, kStart.addSecs(s.readings - 1));
    }
    writeFile(path, whole + QByteArray(4096, '\0'));
    const JournalSummary s = readJournal(path);
    QCOMPARE(s.readings, 5);
    QCOMPARE(s.incompleteLines, 1);
}

QTEST_MAIN(JournalTest)
#include "tst_journal.moc"
