#include "Fixtures.h"
#include "SheetReaders.h"
#include "Unprivileged.h"
#include "core/logging/LogModel.h"
#include "core/logging/Logger.h"
#include "gui/app/MainWindow.h"
#include "gui/app/SensorPage.h"
#include "gui/logging/LogFrame.h"

#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using Dialogs = platform::Dialogs;

// "Save Log" on a page of the main window: the dialog, the name written, the question before
// replacing, and what the user hears when a save does not happen.
class SaveLogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void savesUnderTheFiltersExtension_data();
    void savesUnderTheFiltersExtension();
    void replacingAsksAboutTheNameWritten();
    void nothingWritten_data();
    void nothingWritten();
    void logChangingDuringTheSave_data();
    void logChangingDuringTheSave();

private:
    void open(bool rotary, int readings);
    QStringList files() const { return QDir(dir->path()).entryList(QDir::Files | QDir::Hidden); }
    void choose(const QString& name, int filter) {
        t->dialogs.saveChoices.enqueue(Dialogs::SaveChoice{dir->filePath(name), filter});
    }
    void save() { w->page(2)->log->SaveLogBut->click(); }

    std::unique_ptr<testing::TestServices> t;
    std::unique_ptr<app::MainWindow> w;
    std::unique_ptr<QTemporaryDir> dir;
};

void SaveLogTest::open(bool rotary, int readings) {
    w.reset(); // the window goes before the services it uses
    t = std::make_unique<testing::TestServices>();
    t->port->availablePorts = {16}; // no scan at start
    dir = std::make_unique<QTemporaryDir>();
    w = std::make_unique<app::MainWindow>(t->services());
    if (rotary)
        w->setRotaryEncoderSensorType();
    else
        w->setLevelProbeSensorType();
    w->load();
    t->dialogs.boxes.clear(); // the port that did not open
    w->SensorTab->setEnabled(true);
    w->SensorTab->setCurrentIndex(2);
    for (int i = 0; i < readings; ++i) {
        w->logger().AddLogRow(2, QString::number(i), QStringLiteral("Metres"), QStringLiteral("20"),
                              QStringLiteral("Centigrade"));
        t->now = t->now.addSecs(1);
    }
}

void SaveLogTest::savesUnderTheFiltersExtension_data() {
    QTest::addColumn<bool>("rotary");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("xls") << false << 0 << "run1.csv"
                         << "run1.xls";
    QTest::newRow("xlsx") << true << 1 << "run1.csv"
                          << "run1.xlsx";
    QTest::newRow("csv") << true << 2 << "run1"
                         << "run1.csv";
    QTest::newRow("dotted folder") << false << 2 << "a.b/run1"
                                   << "a.b/run1.csv";
}

void SaveLogTest::savesUnderTheFiltersExtension() {
    QFETCH(bool, rotary);
    QFETCH(int, filter);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    open(rotary, 2);
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("a.b")));
    QFile typedFile(dir->filePath(typed));
    QVERIFY(typedFile.open(QIODevice::WriteOnly)); // a file of the typed name stays as it is
    typedFile.close();
    choose(typed, filter);
    save();

    QCOMPARE(t->dialogs.saveTitle, QStringLiteral("Select Filename to Save to"));
    QCOMPARE(t->dialogs.saveSuggestion,
             rotary ? QStringLiteral("Rotary Encoder Log 2") : QStringLiteral("Level Probe Log 2"));
    QCOMPARE(t->dialogs.saveFilters,
             (QStringList{"Log Files (Excel pre '03)(*.xls)", "Log Files (Excel post '03)(*.xlsx)",
                          "Log Files (comma delimited)(*.csv)"}));
    QCOMPARE(t->dialogs.boxes.size(), 0);
    QCOMPARE(QFileInfo(typedFile).size(), 0);
    const testing::Grid grid = testing::readSheet(dir->filePath(written));
    QCOMPARE(grid.size(), 4);
    QCOMPARE(grid.at(0).at(2), rotary ? QStringLiteral("Level") : QStringLiteral("Pressure"));
    QCOMPARE(grid.at(1), QStringList());
    QVERIFY2(grid.at(2).at(1).endsWith(u"14:03:28") && grid.at(3).at(1).endsWith(u"14:03:27"),
             qPrintable(grid.at(2).join(u'|')));
    QCOMPARE(grid.at(2).size(), rotary ? 4 : 6);
}

void SaveLogTest::replacingAsksAboutTheNameWritten() {
    open(false, 1);
    for (const char* name : {"data.csv", "data.xls"}) {
        QFile f(dir->filePath(QLatin1String(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(name);
    }
    auto content = [&](const char* name) {
        QFile f(dir->filePath(QLatin1String(name)));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    };
    for (auto answer : {Dialogs::Button::No, Dialogs::Button::Yes}) {
        t->dialogs.boxes.clear();
        t->dialogs.answers.enqueue(answer);
        choose(QStringLiteral("data.csv"), 0);
        save();
        QCOMPARE(t->dialogs.boxes.size(), 1);
        QCOMPARE(t->dialogs.boxes[0].buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(t->dialogs.boxes[0].defaultButton, Dialogs::Button::No);
        QVERIFY(t->dialogs.boxes[0].text.contains(dir->filePath(QStringLiteral("data.xls"))));
        QCOMPARE(content("data.csv"), QByteArray("data.csv"));
    }
    QCOMPARE(testing::readXls(dir->filePath(QStringLiteral("data.xls"))).size(), 3);
    QCOMPARE(files(), (QStringList{"data.csv", "data.xls"}));
}

void SaveLogTest::nothingWritten_data() {
    QTest::addColumn<int>("readings");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("message"); // what the box says; empty: no box
    QTest::newRow("dialog cancelled") << 1 << -1 << "" << QStringList();
    QTest::newRow("progress cancelled") << 10'000 << 1 << "cancel" << QStringList();
    QTest::newRow("too long for xls")
        << 65'535 << 0 << "" << QStringList{"65,535 readings", "at most 65,534", ".xlsx or .csv"};
    QTest::newRow("too long for xlsx")
        << 1'048'575 << 1 << ""
        << QStringList{"1,048,575 readings, and an Excel (.xlsx) sheet holds at most 1,048,574 "
                       "(1,048,576 rows",
                       "Save it as .csv to keep every reading."};
    QTest::newRow("folder read-only")
        << 1 << 2 << "read-only" << QStringList{"could not be saved", "cannot be written"};
}

void SaveLogTest::nothingWritten() {
    QFETCH(int, readings);
    QFETCH(int, filter);
    QFETCH(QString, how);
    QFETCH(QStringList, message);
    open(false, 1); // the first reading enables "Save Log"
    logging::LogModel& log = w->logger().log(2);
    for (int i = 1; i < readings; ++i)
        log.addRow(t->now, u"1", u"bar", u"2", u"C");
    if (filter >= 0)
        choose(QStringLiteral("log"), filter);
    if (how == u"cancel")
        t->dialogs.cancelProgressAt = 4096;
    const bool readOnly = how == u"read-only";
    if (readOnly)
        QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::ExeOwner);
    {
        testing::Unprivileged asUser;
        save();
    }
    QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(files(), QStringList());
    QCOMPARE(t->dialogs.boxes.size(), message.isEmpty() ? 0 : 1);
    for (const QString& part : message)
        QVERIFY2(t->dialogs.boxes[0].text.contains(part), qPrintable(t->dialogs.boxes[0].text));
    if (how == u"cancel")
        QCOMPARE(t->dialogs.progressValues, QList<int>{4096});
}

void SaveLogTest::logChangingDuringTheSave_data() {
    QTest::addColumn<bool>("clear");
    QTest::newRow("a reading arrives") << false;
    QTest::newRow("the log is cleared") << true;
}

void SaveLogTest::logChangingDuringTheSave() {
    QFETCH(bool, clear);
    open(false, 1);
    logging::LogModel& log = w->logger().log(2);
    const int readings = 5000;
    for (int i = 1; i < readings; ++i)
        log.addRow(t->now.addSecs(i), QString::number(i), u"bar", u"2", u"C");
    t->dialogs.onProgress = [&](int) {
        if (clear)
            w->page(2)->log->ClearLogBut->click();
        else
            w->logger().AddLogRow(2, QStringLiteral("-1"), {}, {}, {});
    };
    choose(QStringLiteral("log"), 2);
    save();

    if (clear) {
        QCOMPARE(files(), QStringList());
        QCOMPARE(t->dialogs.boxes.size(), 1);
        QVERIFY(t->dialogs.boxes[0].text.contains(u"cleared"));
        return;
    }
    QCOMPARE(log.rowCount(), readings + 1);
    QFile f(dir->filePath(QStringLiteral("log.csv")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const testing::Grid grid = testing::readCsv(f.readAll());
    QCOMPARE(grid.size(), readings + 2);
    QCOMPARE(grid.at(2).at(2), QString::number(readings - 1));
    QCOMPARE(grid.last().at(2), QStringLiteral("0"));
}

QTEST_MAIN(SaveLogTest)
#include "tst_savelog.moc"
