#include "ManualScheduler.h"
#include "SchedulerTimers.h"
#include "core/logging/JournalDisk.h"
#include "core/logging/JournalFolder.h"
#include "core/logging/JournalFormat.h"
#include "core/logging/JournalReader.h"
#include "core/logging/LogModel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <sys/file.h>

using namespace logging;

// The journal on disk: when its lines are written and synced, how it reads back whole or cut
// short, and what the start of a run removes and offers.
class JournalTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void linesWrittenAtOnceAndSyncedWithinTheBound();
    void readsBackWhatWasWritten_data();
    void readsBackWhatWasWritten();
    void tornLastLineSkippedAndCounted();
    void startTidiesAndOffersUnfinished();
    void killedProgramLosesAtMostItsLastSecond();
    void terminatedProgramFinishesItsJournal();
    void fullDiskToldOnceAndLoggingGoesOn();
    void quitDuringAnApplyEndsTheProgram();
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

void JournalTest::linesWrittenAtOnceAndSyncedWithinTheBound() {
    QTemporaryDir dir;
    sim::ManualScheduler clock;
    sim::SchedulerTimers timers(clock);
    QList<std::pair<qint64, qint64>> syncs; // (ms, file size when synced)
    JournalDisk disk(timers, [&](int fd) {
        const auto file = std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd));
        syncs.append({std::chrono::duration_cast<std::chrono::milliseconds>(clock.now()).count(),
                      qint64(std::filesystem::file_size(file))});
        return 0;
    });
    QString path;
    connect(&disk, &JournalDisk::opened, this, [&](quint64, const QString& p) { path = p; });
    const auto after = [&](int ms, const QByteArray& line) {
        clock.advanceTo(sim::milliseconds(ms));
        disk.append(1, line);
        QCoreApplication::processEvents();
    };
    disk.open(1, dir.path(), "j", "header\n");
    QCoreApplication::processEvents();
    QCOMPARE(path, dir.filePath("j.csv"));
    // A burst: each line in the file at once, one sync for all of them half a second after
    // the first.
    after(0, "a\n");
    after(100, "b\n");
    after(300, "c\n");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("header\na\nb\nc\n"));
    clock.advanceTo(sim::milliseconds(499));
    QVERIFY(syncs.isEmpty());
    clock.advanceTo(sim::milliseconds(500));
    QCOMPARE(syncs, (QList<std::pair<qint64, qint64>>{{500, 13}}));
    // A quiet disk is not synced again; the next line is, half a second after it.
    after(1700, "d\n");
    clock.advanceTo(sim::milliseconds(2199));
    QCOMPARE(syncs.size(), 1);
    clock.advanceTo(sim::milliseconds(2200));
    QCOMPARE(syncs.last(), (std::pair<qint64, qint64>{2200, 15}));
    // A second journal under the same name gets a name of its own.
    disk.open(2, dir.path(), "j", "header\n");
    QCoreApplication::processEvents();
    QCOMPARE(path, dir.filePath("j-2.csv"));
}

void JournalTest::readsBackWhatWasWritten_data() {
    QTest::addColumn<bool>("rotary");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<bool>("crlf"); // copied through a program that ends lines in CR LF
    QTest::newRow("level") << false << QStringList{"1.234", "Metres", "20.5", "Centigrade"}
                           << false;
    QTest::newRow("level, empty temperature")
        << false << QStringList{"-0.5", "bar", "", ""} << false;
    QTest::newRow("quotes and commas")
        << false << QStringList{"1,5", "\"in\"", "2", "°C, x"} << false;
    QTest::newRow("rotary") << true << QStringList{"+12.345", "Metres"} << false;
    QTest::newRow("CR LF") << false << QStringList{"1.234", "Metres", "20.5", "Centigrade"} << true;
}

void JournalTest::readsBackWhatWasWritten() {
    QFETCH(bool, rotary);
    QFETCH(QStringList, fields);
    QFETCH(bool, crlf);
    fields.resize(4);
    QTemporaryDir dir;
    QByteArray text =
        journal::headerLines({rotary, 2, "SN, 7", fields[1], fields[3], "COM1", kStart});
    journal::appendReading(text, kStart, rotary, fields[0], fields[1], fields[2], fields[3]);
    text += journal::missedLine(kStart.addSecs(1), "no answer");
    text += journal::movedLine(kStart.addSecs(2), 2, 8);
    journal::appendReading(text, kStart.addSecs(3), rotary, fields[0], fields[1], fields[2],
                           fields[3]);
    if (crlf)
        text.replace("\n", "\r\n");
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

void JournalTest::startTidiesAndOffersUnfinished() {
    QTemporaryDir dir;
    const auto file = [&](const QString& name) { return dir.filePath(name + ".csv"); };
    const QByteArray finished = levelJournal(2) + journal::finishedLine(kStart, "exit");
    writeFile(file("2026-10-01_10-00-00_level1"), levelJournal(2), 40);   // old, offered first
    writeFile(file("2026-11-01_10-00-00_level1"), finished, 20);          // size limit
    writeFile(file("2026-11-02_10-00-00_level1"), finished, 19);          // kept
    writeFile(file("2026-11-03_10-00-00_rotary2"), levelJournal(3), 18);  // offered
    writeFile(file("2026-11-04_10-00-00_level3"), "not a journal\n", 50); // offered, kept
    writeFile(file("2026-11-05_10-00-00_level4"), levelJournal(1), 1);    // in use
    writeFile(file("2026-11-06_10-00-00_level5"), levelJournal(1), -1);   // this run's
    writeFile(dir.filePath("mine.csv"), "a,b\n", 90);                     // not a journal
    QFile held(file("2026-11-05_10-00-00_level4"));
    QVERIFY(held.open(QIODevice::ReadOnly) && ::flock(held.handle(), LOCK_EX) == 0);

    qint64 journals = 0;
    for (const QFileInfo& info : QDir(dir.path()).entryInfoList({"2026-11-0[12356]*"}))
        journals += info.size();
    const QStringList removed =
        tidyJournalFolder(dir.path(), QDateTime::currentDateTime(), journals - 1);
    QCOMPARE(removed, (QStringList{file("2026-11-01_10-00-00_level1")}));
    const QList<JournalSummary> offered =
        unfinishedJournals(dir.path(), QDateTime::currentDateTime());
    QCOMPARE(offered.size(), 3);
    QCOMPARE(offered[0].path, file("2026-11-04_10-00-00_level3"));
    QCOMPARE(offered[0].error, QStringLiteral("not a log journal"));
    QCOMPARE(offered[1].path, file("2026-10-01_10-00-00_level1"));
    QCOMPARE(offered[2].path, file("2026-11-03_10-00-00_rotary2"));
    QCOMPARE(offered[2].readings, 3);
    QVERIFY(QFile::exists(dir.filePath("mine.csv")));
    // Once offered, the old one goes at the next start.
    QVERIFY(markOffered(dir.path(), offered));
    QCOMPARE(tidyJournalFolder(dir.path(), QDateTime::currentDateTime(), journals),
             QStringList{file("2026-10-01_10-00-00_level1")});
}

namespace {

// The reading lines of the folder's one journal left unfinished.
QByteArrayList recoveredReadings(const QString& folder) {
    const QList<JournalSummary> found =
        unfinishedJournals(folder, QDateTime::currentDateTime().addDays(1));
    if (found.size() != 1)
        return {QByteArray::number(found.size()) + " journals"};
    QFile file(found[0].path);
    file.open(QIODevice::ReadOnly);
    QByteArrayList readings;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (!line.startsWith('#') && line.endsWith('\n'))
            readings << line;
    }
    return readings;
}

} // namespace

void JournalTest::killedProgramLosesAtMostItsLastSecond() {
    QTemporaryDir dir;
    QProcess child;
    child.start(JOURNAL_CHILD, {dir.path()});
    QVERIFY(child.waitForStarted());
    // Each row as the child printed it when it was added, and when it was read here.
    QByteArrayList rows;
    QList<qint64> seen;
    QElapsedTimer clock;
    clock.start();
    while (rows.size() < 300 && child.waitForReadyRead(10'000)) {
        while (child.canReadLine()) {
            rows << child.readLine();
            seen << clock.elapsed();
        }
    }
    child.kill();
    const qint64 killedAt = clock.elapsed();
    QVERIFY(child.waitForFinished());
    QVERIFY(rows.size() >= 300);
    const auto beforeLastSecond =
        std::count_if(seen.begin(), seen.end(), [&](qint64 t) { return t < killedAt - 1000; });

    const QByteArrayList recovered = recoveredReadings(dir.path());
    QVERIFY2(recovered.size() >= beforeLastSecond,
             qPrintable(QStringLiteral("%1 recovered, %2 rows a second before the kill")
                            .arg(recovered.size())
                            .arg(beforeLastSecond)));
    // The child may have added rows after the last one read here.
    const qsizetype both = std::min(recovered.size(), rows.size());
    QCOMPARE(recovered.mid(0, both), rows.mid(0, both));
}

void JournalTest::terminatedProgramFinishesItsJournal() {
    // Logging out, shutting down or kill: the program ends as quitting does, its journal
    // finished (nothing offered as recovered at the next start).
    QTemporaryDir dir;
    QProcess child;
    child.start(JOURNAL_CHILD, {dir.path()});
    QVERIFY(child.waitForStarted());
    int rows = 0;
    while (rows < 20 && child.waitForReadyRead(10'000))
        while (child.canReadLine() && child.readLine().size() > 0)
            ++rows;
    child.terminate(); // SIGTERM
    QVERIFY(child.waitForFinished(30'000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QVERIFY(!QDir(dir.path()).entryList({QStringLiteral("*.csv")}).isEmpty());
    QCOMPARE(unfinishedJournals(dir.path(), QDateTime::currentDateTime().addDays(1)).size(), 0);
}

void JournalTest::fullDiskToldOnceAndLoggingGoesOn() {
    QTemporaryDir dir;
    QProcess child;
    child.start(JOURNAL_CHILD, {dir.path(), "1500"}); // room for about 25 readings
    QVERIFY(child.waitForFinished(60'000));
    QCOMPARE(child.exitCode(), 0);
    const QByteArrayList lines = child.readAllStandardOutput().split('\n');
    const QByteArrayList readings = lines.mid(0, 60);
    QCOMPARE(lines.mid(60, 3),
             (QByteArrayList{"boxes 1",
                             "box The log cannot be written to the folder " + dir.path().toUtf8() +
                                 ": File too large. Logging goes on, but its readings are kept "
                                 "only in the window; use \"Save Log\" to keep them.",
                             "panel shown"}));
    // What fitted is there and can be recovered. How many readings fit depends on how many
    // ticks found the bus busy (each writes a line too), which a slow machine makes more.
    const QByteArrayList recovered = recoveredReadings(dir.path());
    QVERIFY2(!recovered.isEmpty() && recovered.size() < 30, qPrintable(recovered.join()));
    for (qsizetype i = 0; i < recovered.size(); ++i)
        QCOMPARE(recovered[i], readings[i] + '\n');
}

void JournalTest::quitDuringAnApplyEndsTheProgram() {
    // The main window closed while an apply to sensor 5 waits for its sensor and sensor 3
    // logs: the program ends by itself, with its journal finished (nothing to recover).
    QTemporaryDir dir;
    QProcess child;
    child.start(JOURNAL_CHILD, {dir.path(), "0", "quit-during-apply"});
    QVERIFY(child.waitForFinished(60'000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    const QByteArray output = child.readAllStandardOutput();
    QVERIFY2(output.contains("closing\n"), output.right(300).constData());
    QVERIFY(!QDir(dir.path()).entryList({QStringLiteral("*.csv")}).isEmpty());
    QCOMPARE(unfinishedJournals(dir.path(), QDateTime::currentDateTime().addDays(1)).size(), 0);
}

QTEST_MAIN(JournalTest)
#include "tst_journal.moc"
