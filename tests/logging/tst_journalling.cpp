#include "BusWindow.h"
#include "LevelProbe.h"
#include "SheetReaders.h"
#include "core/logging/JournalFolder.h"
#include "core/logging/JournalFormat.h"
#include "core/logging/LogModel.h"
#include "core/logging/Logger.h"
#include "gui/app/Journalling.h"
#include "gui/app/RecoveryWindow.h"
#include "gui/app/SensorPage.h"
#include "gui/discovery/SensorLists.h"
#include "gui/levelprobe/LevelPage.h"
#include "gui/logging/LogFrame.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QTreeWidget>

using Dialogs = platform::Dialogs;

// The logs on disk in the main window on the simulated bus: a journal follows its page's log
// through readings, an address change, "Clear Log" and the end of the program; missed
// readings are counted; an unwritable folder is told once; journals left unfinished are
// offered, saved and discarded.
class JournallingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    void journalFollowsItsLog();
    void missedReadingsCounted_data();
    void missedReadingsCounted();
    void unwritableFolderToldOnce();
    void recoveredLogsSavedOrDiscarded_data();
    void recoveredLogsSavedOrDiscarded();
};

namespace {

bool waitForFreeBus(MainWindow& w) {
    return QTest::qWaitFor([&w] { return !w.link().busy(); });
}

void startLog(MainWindow& w, int tab, int ticks) {
    levelprobe::LevelPage* page = w.page(tab)->level;
    page->LogPeriodCombo->setCurrentIndex(page->LogPeriodCombo->findText("5 Seconds"));
    page->StartLogBut->click();
    QVERIFY(waitForFreeBus(w));
    for (int s = 0; s < ticks; ++s) {
        w.logger().SecondTimer_Timer();
        QVERIFY(waitForFreeBus(w));
    }
}

// Each journal in the folder, oldest first, as its lines' fields.
QList<QList<QByteArrayList>> journals(const QString& folder) {
    QList<QList<QByteArrayList>> all;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
        QFile file(info.filePath());
        file.open(QIODevice::ReadOnly);
        QList<QByteArrayList> lines;
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.isEmpty())
                lines << logging::journal::fields(line);
        all << lines;
    }
    return all;
}

QByteArray timeText(const QDateTime& t) {
    QByteArray text;
    logging::journal::appendTime(text, t);
    return text;
}

// The log's rows as journal lines would hold them, oldest first.
QList<QByteArrayList> rowsOf(const logging::LogModel& log, const QByteArray& time) {
    QList<QByteArrayList> rows;
    for (int r = log.rowCount() - 1; r >= 0; --r)
        rows << QByteArrayList{time, log.text(r, 2).toUtf8(), log.text(r, 3).toUtf8(),
                               log.text(r, 4).toUtf8(), log.text(r, 5).toUtf8()};
    return rows;
}

} // namespace

void JournallingTest::journalFollowsItsLog() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('2');
    auto w = loadWindow(t, sim);
    const QByteArray now = timeText(t.now);
    startLog(*w, 2, 5); // the scan's reading, the start's and one more
    w->page(2)->level->StopLogBut->click();
    const logging::LogModel& log = w->logger().log(2);
    QCOMPARE(log.rowCount(), 3);
    const QList<QByteArrayList> logged = rowsOf(log, now);
    const QByteArray serial = w->lists().ListView->topLevelItem(2)->text(1).toUtf8();
    levelprobe::LevelPage* page = w->page(2)->level;
    QCOMPARE(chooseAddress(*w, t, sim, page->AddressCombo, page->AddrBut, 5), QString());
    w->logger().requestReading(5);
    QVERIFY(waitForFreeBus(*w));
    w->logger().ClearLogBut_Click(5);
    t.now = t.now.addSecs(60);
    w->logger().requestReading(5);
    QVERIFY(waitForFreeBus(*w));
    w.reset(); // the program ends

    const auto all = journals(t.journalFolder());
    QCOMPARE(all.size(), 2);
    const QList<QByteArrayList> first = all[0];
    QCOMPARE(first.mid(0, 8), (QList<QByteArrayList>{{"#sdi12-config journal", "1"},
                                                     {"#family", "Level Probe"},
                                                     {"#address", "2"},
                                                     {"#serial", serial},
                                                     {"#units", logged[0][2], logged[0][4]},
                                                     {"#port", "COM1"},
                                                     {"#started", now},
                                                     {"#columns", "time", "pressure", "units",
                                                      "temperature", "units"}}));
    QCOMPARE(first.mid(8, 3), logged);
    QCOMPARE(first.at(11), (QByteArrayList{"#moved", now, "2", "5"}));
    QCOMPARE(first.at(12).size(), 5); // the next reading went on in the same file
    QCOMPARE(first.at(13), (QByteArrayList{"#finished", now, "cleared"}));
    QCOMPARE(first.size(), 14);
    const QList<QByteArrayList> second = all[1];
    QCOMPARE(second.at(2), (QByteArrayList{"#address", "5"}));
    QCOMPARE(second.at(8).at(0), timeText(t.now));
    QCOMPARE(second.last(), (QByteArrayList{"#finished", timeText(t.now), "exit"}));
    QCOMPARE(second.size(), 10);
}

void JournallingTest::missedReadingsCounted_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("reason");
    QTest::addColumn<int>("missed");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("rows"); // the scan's and the log's
    QTest::newRow("every reading comes") << "none" << QByteArray() << 0 << "Logging" << 4;
    QTest::newRow("silent") << "silent" << QByteArray("no answer") << 3 << "Logging (3 missed)"
                            << 1;
    QTest::newRow("measurement aborted")
        << "aborted" << QByteArray("no values in the answer") << 3 << "Logging (3 missed)" << 1;
    QTest::newRow("port lost") << "unplugged" << QByteArray("port lost") << 1 << "Idle" << 1;
}

void JournallingTest::missedReadingsCounted() {
    QFETCH(QString, fault);
    QFETCH(QByteArray, reason);
    QFETCH(int, missed);
    QFETCH(QString, status);
    QFETCH(int, rows);
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('2');
    auto w = loadWindow(t, sim);
    sim::Faults faults;
    faults.silent = fault == "silent";
    if (fault == "aborted") {
        // Measures longer than it says and sends no service request: asked for its data when
        // the announced time is over, it gives up the measurement.
        faults.measuringTime = sim::milliseconds(3000);
        faults.noServiceRequest = true;
    }
    sim.bus.setFaults('2', faults);
    if (fault == "unplugged")
        connect(&sim.bus, &sim::Bus::recorded, w.get(), [&](const sim::TrafficRecord& r) {
            if (r.bytes == "2M!")
                QTimer::singleShot(0, w.get(), [&] { sim.port.unplug(); });
        });
    startLog(*w, 2, 10);
    QCOMPARE(w->logger().log(2).rowCount(), rows);
    QCOMPARE(w->lists().ListView->topLevelItem(2)->text(8), status);
    w->journalling().waitUntilWritten();
    const QList<QByteArrayList> lines = journals(t.journalFolder()).value(0);
    QByteArrayList gaps;
    for (const QByteArrayList& f : lines)
        if (f[0] == "#missed")
            gaps << f.value(2);
    QCOMPARE(gaps, QByteArrayList(missed, reason));
}

void JournallingTest::unwritableFolderToldOnce() {
    testing::TestServices t;
    QFile blocker(t.journalFolder()); // a file where the folder would be
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    SimBus sim;
    sim.bus.addLevelProbe('2');
    sim.bus.addLevelProbe('4');
    auto w = loadWindow(t, sim); // two first readings, two journals that cannot be made
    QTRY_COMPARE(t.dialogs.boxes.size(), 1);
    QVERIFY2(t.dialogs.boxes[0].text.contains(t.journalFolder() + ": Not a directory"),
             qPrintable(t.dialogs.boxes[0].text));
    QLabel* panel = w->journalling().JournalPanel;
    QVERIFY(panel->isVisible());
    w->logger().requestReading(2);
    QVERIFY(waitForFreeBus(*w));
    QCOMPARE(w->logger().log(2).rowCount(), 2);
    QCOMPARE(t.dialogs.boxes.size(), 1);
    // Quitting says what it would lose (answered No: the window stays).
    w->close();
    QCOMPARE(t.dialogs.boxes.size(), 2);
    QCOMPARE(t.dialogs.boxes[1].text,
             QStringLiteral("Are you sure you want to quit?\n\nThe logs of sensors 2, 4 could not "
                            "be written to disk: the readings since then are kept only in the "
                            "window and are lost when the program ends, unless you keep them "
                            "with \"Save Log\" first."));
    w->logger().ClearLogBut_Click(2);
    QVERIFY(panel->isVisible()); // page 4's log is still not on disk
    w->logger().ClearLogBut_Click(4);
    QVERIFY(!panel->isVisible());
}

void JournallingTest::recoveredLogsSavedOrDiscarded_data() {
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("written");
    QTest::newRow("xls") << 0 << "saved.xls";
    QTest::newRow("xlsx") << 1 << "saved.xlsx";
    QTest::newRow("csv") << 2 << "saved.csv";
}

void JournallingTest::recoveredLogsSavedOrDiscarded() {
    QFETCH(int, filter);
    QFETCH(QString, written);
    testing::TestServices t;
    const QDir folder(t.journalFolder());
    QVERIFY(folder.mkpath("."));
    const QDateTime start(QDate(2026, 12, 5), QTime(10, 0, 0), Qt::OffsetFromUTC, 3600);
    QByteArray level = logging::journal::headerLines(
        {false, 3, "60012345", "Metres", "Centigrade", "COM1", start});
    for (int i = 0; i < 3; ++i)
        logging::journal::appendReading(level, start.addSecs(i), false, QString::number(1.5 + i),
                                        "Metres", "20.5", "Centigrade");
    QByteArray rotary =
        logging::journal::headerLines({true, 4, "", "Metres", "", "COM1", start.addSecs(60)});
    logging::journal::appendReading(rotary, start.addSecs(60), true, "7", "Metres", "", "");
    const QString levelPath = folder.filePath("2026-12-05_10-00-00_level3.csv");
    const QString rotaryPath = folder.filePath("2026-12-05_10-01-00_rotary4.csv");
    const QString unreadablePath = folder.filePath("2026-12-05_10-02-00_level6.csv");
    for (const auto& [path, text] :
         {std::pair{levelPath, level + "2026-12-05T10:00:0"}, std::pair{rotaryPath, rotary},
          std::pair{unreadablePath, QByteArray("#sdi12-config journal,9\n")}}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
        f.flush();
        f.setFileTime(QDateTime::currentDateTime().addSecs(path == levelPath    ? -3600
                                                           : path == rotaryPath ? -600
                                                                                : -300),
                      QFileDevice::FileModificationTime);
    }

    t.port->availablePorts = {16}; // no scan at start
    MainWindow w(t.services());
    w.setLevelProbeSensorType();
    w.load();
    QTRY_VERIFY(w.journalling().recoveryWindow());
    app::RecoveryWindow* r = w.journalling().recoveryWindow();
    QVERIFY(r->isVisible() && !r->isModal());
    QCOMPARE(r->windowTitle(), QStringLiteral("Recovered Logs"));
    QTreeWidgetItem* row = r->JournalList->topLevelItem(0);
    QCOMPARE(row->text(0), QStringLiteral("Level Probe at address 3, serial 60012345"));
    QCOMPARE(row->text(1), QStringLiteral("05/12/2026 10:00:00"));
    QCOMPARE(row->text(2), QStringLiteral("05/12/2026 10:00:02"));
    QCOMPARE(row->text(3), QStringLiteral("3"));
    QCOMPARE(row->text(app::RecoveryWindow::Notes), QStringLiteral("1 incomplete line skipped"));
    QCOMPARE(r->JournalList->topLevelItem(1)->text(0),
             QStringLiteral("Rotary Encoder at address 4"));
    // Nothing of it can be read: named after its file.
    QCOMPARE(r->JournalList->topLevelItem(2)->text(0), QStringLiteral("Level Probe at address 6"));
    // A long note never hides the buttons.
    r->resize(1200, 300);
    r->setNote(1, QStringLiteral("Saved to /%1/log.csv").arg(QString(300, 'x')));
    const QModelIndex actions = r->JournalList->model()->index(1, app::RecoveryWindow::Actions);
    QVERIFY(r->JournalList->visualRect(actions).right() < r->JournalList->viewport()->width());

    QTemporaryDir out;
    t.dialogs.boxes.clear();
    t.dialogs.saveChoices.enqueue(Dialogs::SaveChoice{out.filePath("saved"), filter});
    r->saveButton(0)->click();
    QCOMPARE(t.dialogs.saveSuggestion, QStringLiteral("Level Probe Log 3"));
    const testing::Grid grid = testing::readSheet(out.filePath(written));
    QCOMPARE(grid.size(), 5);
    for (int i = 0; i < 3; ++i) { // newest first
        const QStringList& cells = grid.at(4 - i);
        QVERIFY2(cells.at(1).endsWith(start.addSecs(i).time().toString()) &&
                     cells.at(2).endsWith(QString::number(1.5 + i)) && cells.at(5) == "Centigrade",
                 qPrintable(cells.join('|')));
    }
    QVERIFY(t.dialogs.boxes.isEmpty());
    // The file is asked for before the journal is read: a cancel reads nothing, so a journal
    // gone meanwhile goes unmentioned.
    QVERIFY(QFile::rename(rotaryPath, rotaryPath + ".away"));
    r->saveButton(1)->click();
    QCOMPARE(t.dialogs.saveSuggestion, QStringLiteral("Rotary Encoder Log 4"));
    QVERIFY(t.dialogs.boxes.isEmpty());
    QVERIFY(QFile::rename(rotaryPath + ".away", rotaryPath));
    // Saved, it is not offered again; discarded, it is gone.
    const QDateTime later = QDateTime::currentDateTime().addDays(1);
    QCOMPARE(logging::unfinishedJournals(folder.path(), later).size(), 2);
    t.dialogs.answers.enqueue(Dialogs::Button::Yes);
    r->discardButton(1)->click();
    QVERIFY(!QFile::exists(rotaryPath));
    QVERIFY(QFile::exists(levelPath));

    w.journalling().mnuOpenLogFolder->trigger();
    QCOMPARE(t.openedUrls, QList<QUrl>{QUrl::fromLocalFile(folder.path())});
}

QTEST_MAIN(JournallingTest)
#include "tst_journalling.moc"
