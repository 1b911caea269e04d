#include "Fixtures.h"
#include "LinkSupport.h"
#include "core/link/Link.h"
#include "core/platform/PortMap.h"
#include "core/platform/QtSerialPort.h"
#include "core/platform/SysData.h"
#include "gui/app/Connection.h"
#include "gui/app/MainWindow.h"
#include "gui/app/PortMenu.h"
#include "gui/app/TimingWindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>
#include <memory>
#include <stdlib.h>
#include <unistd.h>

using app::Connection;
using app::PortMenu;
using testing::FakeDialogs;

namespace {

// Five little-endian 16-bit fields as the file holds them, e.g. "0300 1400 0f00 c800 9001".
QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A connection with its controls, a settings file in a temporary folder and a fake port.
struct Rig {
    explicit Rig(const QString& settingsPath = {}) {
        const app::AppServices s = t.services();
        link = std::make_unique<sdilink::Link>(*s.port, s.pause, s.clock);
        testing::sayWhenPortClosed(*link, *s.dialogs);
        timing = std::make_unique<app::TimingWindow>(*link, t.dialogs);
        for (int n = 1; n <= 16; ++n) {
            auto* a = new QAction(QStringLiteral("COM%1").arg(n), &owner);
            a->setCheckable(true);
            items[static_cast<size_t>(n - 1)] = a;
        }
        query.setEnabled(false);
        tab.setEnabled(false);
        panel.setText("Not Connected. ");
        file = settingsPath.isEmpty() ? dir.filePath("Corvane sysfile.cfg") : settingsPath;
        menu = std::make_unique<PortMenu>(items, nullptr);
        connection = std::make_unique<Connection>(
            *t.port, t.dialogs, *menu, *timing, platform::SysData(file),
            Connection::Controls{&tab, &query, &panel}, [this] { ++scans; });
        timing->setStoreSettings([this] { connection->WriteSysData(connection->CommPort); });
        for (int n = 1; n <= 16; ++n)
            QObject::connect(items[static_cast<size_t>(n - 1)], &QAction::triggered, &owner,
                             [this, n] { connection->mnuCom_Click(n); });
    }

    int checkedItem() const {
        int checked = 0;
        for (int n = 1; n <= 16; ++n)
            if (items[static_cast<size_t>(n - 1)]->isChecked()) {
                if (checked != 0)
                    return -1; // more than one
                checked = n;
            }
        return checked;
    }

    testing::TestServices t;
    QTemporaryDir dir;
    QString file;
    std::unique_ptr<sdilink::Link> link;
    std::unique_ptr<app::TimingWindow> timing;
    QObject owner;
    std::array<QAction*, 16> items{};
    QWidget tab;
    QAction query{nullptr};
    QLabel panel;
    std::unique_ptr<PortMenu> menu;
    std::unique_ptr<Connection> connection;
    int scans = 0;
};

} // namespace

class ConnectionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void labels_data();
    void labels();
    void readSettings_data();
    void readSettings();
    void outOfRangeSettings_data();
    void outOfRangeSettings();
    void writeSettings_data();
    void writeSettings();
    void menuChoiceStoresPortAndTimings();
    void opening_data();
    void opening();
    void failureBox();
    void storeFailure_data();
    void storeFailure();
    void timingWindowStoresOnApplyOnly();
    void settingsLocation();
    void readOnlySettingsAreNeverWritten();
    void mainWindowWiring();
    void pseudoTerminalBoundWithCom();
};

void ConnectionTest::labels_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<QStringList>("captions"); // "n=caption" for every labelled item
    QTest::addColumn<QList<int>>("enabled");
    QTest::addColumn<int>("stored");

    QTest::newRow("two devices name COM3")
        << QStringList{"USB Serial Port (COM3)", "Bluetooth Link (COM3)"} << true
        << QStringList{"3=COM3 - USB Serial Port (COM3) - Bluetooth Link (COM3)"} << QList<int>{3}
        << 2;
    QTest::newRow("COM10 does not label COM1")
        << QStringList{"Adapter (COM10)", "Other (COM1)"} << true
        << QStringList{"1=COM1 - Other (COM1)", "10=COM10 - Adapter (COM10)"} << QList<int>{1, 10}
        << 2;
    QTest::newRow("COM inside a word is stored, labels nothing")
        << QStringList{"USB COMPOSITE Device", "Modem (COM2)"} << true
        << QStringList{"2=COM2 - Modem (COM2)"} << QList<int>{2} << 2;
    QTest::newRow("lower-case com is not stored")
        << QStringList{"Generic com port (com4)", "Comm thing (Com4)"} << true << QStringList{}
        << QList<int>{} << 0;
    QTest::newRow("COM without parentheses labels nothing")
        << QStringList{"Port COM6"} << true << QStringList{} << QList<int>{} << 1;
    QTest::newRow("linux names") << QStringList{"16550A /dev/ttyS0 (COM1)",
                                                "PL011 UART /dev/ttyAMA0",
                                                "FT232R USB UART /dev/ttyUSB0 (COM5)"}
                                 << true
                                 << QStringList{"1=COM1 - 16550A /dev/ttyS0 (COM1)",
                                                "5=COM5 - FT232R USB UART /dev/ttyUSB0 (COM5)"}
                                 << QList<int>{1, 5} << 2;
    QTest::newRow("no list: every item usable")
        << QStringList{"Serial Port /dev/pts/4 (COM2)"} << false
        << QStringList{"2=COM2 - Serial Port /dev/pts/4 (COM2)"}
        << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16} << 1;

    // Sixteen names that contain COM fill the store; the seventeenth is never looked at.
    QStringList many;
    for (int i = 1; i <= 16; ++i)
        many << QStringLiteral("COMPOSITE %1").arg(i);
    many << "Late Adapter (COM4)";
    QTest::newRow("only the first 16 are stored")
        << many << true << QStringList{} << QList<int>{} << 16;
}

void ConnectionTest::labels() {
    QFETCH(QStringList, names);
    QFETCH(bool, complete);
    QFETCH(QStringList, captions);
    QFETCH(QList<int>, enabled);
    QFETCH(int, stored);
    Rig rig;
    rig.menu->DiscoverPorts(names, complete);

    QMap<int, QString> expected;
    for (const QString& c : captions)
        expected.insert(c.section('=', 0, 0).toInt(), c.section('=', 1));
    for (int n = 1; n <= 16; ++n) {
        QAction* item = rig.menu->item(n);
        QCOMPARE(item->text(), expected.value(n, QStringLiteral("COM%1").arg(n)));
        QCOMPARE(item->isEnabled(), enabled.contains(n));
    }
    const auto& portNames = rig.menu->PortNames;
    const auto filled = std::count_if(portNames.begin(), portNames.end(),
                                      [](const QString& s) { return !s.isEmpty(); });
    QCOMPARE(filled, stored);
}

void ConnectionTest::readSettings_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("port");
    QTest::addColumn<QStringList>("texts"); // break, mark, data time-out, command time-out

    QTest::newRow("missing file") << false << QByteArray() << 1
                                  << QStringList{"20", "15", "200", "400"};
    QTest::newRow("empty file") << true << QByteArray() << 1
                                << QStringList{"20", "15", "200", "400"};
    QTest::newRow("port 0 opens port 1")
        << true << hex("0000 1900 1000 c800 9001") << 1 << QStringList{"25", "16", "200", "400"};
    QTest::newRow("break 0 shows 20")
        << true << hex("0200 0000 0f00 c800 9001") << 2 << QStringList{"20", "15", "200", "400"};
    QTest::newRow("command time-out 1000")
        << true << hex("0300 1400 0f00 c800 e803") << 3 << QStringList{"20", "15", "200", "1000"};
    QTest::newRow("short file") << true << hex("0500 1e") << 5
                                << QStringList{"30", "15", "200", "400"};
    QTest::newRow("bytes after the record ignored")
        << true << hex("1000 1500 1000 1100 1200 0700 ffff") << 16
        << QStringList{"21", "16", "17", "18"};
    QTest::newRow("port no menu item has")
        << true << hex("1100 1400 0f00 c800 9001") << 1 << QStringList{"20", "15", "200", "400"};
}

void ConnectionTest::readSettings() {
    QFETCH(bool, exists);
    QFETCH(QByteArray, bytes);
    QFETCH(int, port);
    QFETCH(QStringList, texts);
    Rig rig;
    if (exists)
        writeFile(rig.file, bytes);

    rig.connection->ReadSysData();

    QCOMPARE(rig.connection->CommPort, port);
    QCOMPARE(rig.t.trace->last(), QStringLiteral("open %1").arg(port));
    QCOMPARE(rig.checkedItem(), port);
    QCOMPARE(rig.timing->BreakText->text(), texts[0]);
    QCOMPARE(rig.timing->MarkText->text(), texts[1]);
    QCOMPARE(rig.timing->DataTimeoutText->text(), texts[2]);
    QCOMPARE(rig.timing->TimeoutText->text(), texts[3]);
    QCOMPARE(rig.link->timings().BreakTiming, texts[0].toInt());
    QCOMPARE(rig.link->timings().MarkTiming, texts[1].toInt());
    QCOMPARE(rig.link->timings().DataTimeout, texts[2].toInt());
    QCOMPARE(rig.link->timings().CommandTimeout, texts[3].toInt());
    // Reading never writes.
    QCOMPARE(QFile::exists(rig.file), exists);
    if (exists)
        QCOMPARE(contents(rig.file), bytes);
}

void ConnectionTest::outOfRangeSettings_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("timings"); // in effect: break, mark, data, command time-out
    QTest::addColumn<QStringList>("named");  // "setting=default" in the box, in file order

    const QString command = "Command Timeout (mS)=400";
    QTest::newRow("negative command time-out")
        << hex("0300 1400 0f00 c800 9cff") << QList<int>{20, 15, 200, 400} << QStringList{command};
    QTest::newRow("command time-out -1")
        << hex("0300 1900 1000 2c01 ffff") << QList<int>{25, 16, 300, 400} << QStringList{command};
    QTest::newRow("negative break")
        << hex("0300 ecff 0f00 c800 e803") << QList<int>{20, 15, 200, 1000}
        << QStringList{"Break Timing (mS)=20"};
    QTest::newRow("most negative mark")
        << hex("0300 1400 0080 c800 9001") << QList<int>{20, 15, 200, 400}
        << QStringList{"Mark Timing (mS)=15"};
    QTest::newRow("negative data time-out")
        << hex("0300 1400 0f00 38ff 9001") << QList<int>{20, 15, 200, 400}
        << QStringList{"Data Timeout (mS)=200"};
    QTest::newRow("several in one box")
        << hex("0300 ffff 0f00 fffe 0080") << QList<int>{20, 15, 200, 400}
        << QStringList{"Break Timing (mS)=20", "Data Timeout (mS)=200", command};
    QTest::newRow("largest values are kept")
        << hex("0300 ff7f ff7f ff7f ff7f") << QList<int>{32767, 32767, 32767, 32767}
        << QStringList{};
}

void ConnectionTest::outOfRangeSettings() {
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, timings);
    QFETCH(QStringList, named);
    Rig rig;
    writeFile(rig.file, bytes);

    rig.connection->ReadSysData();

    QCOMPARE(rig.timing->BreakText->text().toInt(), timings[0]);
    QCOMPARE(rig.timing->MarkText->text().toInt(), timings[1]);
    QCOMPARE(rig.timing->DataTimeoutText->text().toInt(), timings[2]);
    QCOMPARE(rig.timing->TimeoutText->text().toInt(), timings[3]);
    QCOMPARE(rig.link->timings().BreakTiming, timings[0]);
    QCOMPARE(rig.link->timings().MarkTiming, timings[1]);
    QCOMPARE(rig.link->timings().DataTimeout, timings[2]);
    QCOMPARE(rig.link->timings().CommandTimeout, timings[3]);
    // The port opens as usual and a request arms the command time-out.
    QCOMPARE(rig.t.trace->last(), QStringLiteral("open 3"));
    rig.link->send_TXbuff("0I!");
    QVERIFY(rig.link->TimeoutTimer().isActive());

    QStringList lines;
    for (const QString& n : named)
        lines << QStringLiteral("The %1 stored in the settings file is out of range; the "
                                "default %2 is used.")
                     .arg(n.section('=', 0, 0), n.section('=', 1));
    QCOMPARE(rig.t.dialogs.boxes.size(), lines.isEmpty() ? 0 : 1);
    if (!lines.isEmpty()) {
        const FakeDialogs::Box& box = rig.t.dialogs.boxes.first();
        QCOMPARE(box.title, QStringLiteral("Timing Settings."));
        QCOMPARE(box.text.split('\n'), lines);
        QCOMPARE(box.icon, platform::Dialogs::Icon::Exclamation);
    }
    // Reading does not repair the file.
    QCOMPARE(contents(rig.file), bytes);
}

void ConnectionTest::writeSettings_data() {
    QTest::addColumn<QByteArray>("before"); // "<missing>" for no file
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new file holds exactly the record")
        << QByteArray("<missing>") << QStringList{"20", "15", "200", "400"} << 3
        << hex("0300 1400 0f00 c800 9001");
    QTest::newRow("bytes after the record untouched")
        << hex("ffff ffff ffff ffff ffff 0102 0304") << QStringList{"20", "15", "200", "400"} << 1
        << hex("0100 1400 0f00 c800 9001 0102 0304");
    QTest::newRow("longer file keeps its length")
        << hex("0000 0000 0000 0000 0000 aa") << QStringList{"300", "1", "32767", "1000"} << 16
        << hex("1000 2c01 0100 ff7f e803 aa");
    QTest::newRow("shorter file grows to 10 bytes")
        << hex("09") << QStringList{"20", "15", "200", "400"} << 2
        << hex("0200 1400 0f00 c800 9001");
    QTest::newRow("typed halves stored to even")
        << QByteArray("<missing>") << QStringList{"20.5", "15.5", "x", ""} << 4
        << hex("0400 1400 1000 0000 0000");
}

void ConnectionTest::writeSettings() {
    QFETCH(QByteArray, before);
    QFETCH(QStringList, texts);
    QFETCH(int, port);
    QFETCH(QByteArray, after);
    Rig rig;
    if (before != "<missing>")
        writeFile(rig.file, before);
    rig.timing->BreakText->setText(texts[0]);
    rig.timing->MarkText->setText(texts[1]);
    rig.timing->DataTimeoutText->setText(texts[2]);
    rig.timing->TimeoutText->setText(texts[3]);

    QVERIFY(rig.connection->WriteSysData(port));
    QCOMPARE(contents(rig.file).toHex(' '), after.toHex(' '));
    QVERIFY(rig.t.dialogs.boxes.isEmpty());
}

void ConnectionTest::menuChoiceStoresPortAndTimings() {
    Rig rig;
    writeFile(rig.file, hex("0200 1400 0f00 c800 9001"));
    rig.connection->ReadSysData();
    // Typed into the timing window but never applied: stored, not put into effect.
    rig.timing->BreakText->setText("30");
    rig.timing->MarkText->setText("16");
    rig.timing->DataTimeoutText->setText("250");
    rig.timing->TimeoutText->setText("1000");

    rig.items[3]->trigger(); // COM4

    QCOMPARE(contents(rig.file).toHex(' '), hex("0400 1e00 1000 fa00 e803").toHex(' '));
    QCOMPARE(rig.connection->CommPort, 4);
    QCOMPARE(rig.checkedItem(), 4);
    QCOMPARE(rig.t.trace->mid(rig.t.trace->size() - 2), (QStringList{"close", "open 4"}));
    QCOMPARE(rig.link->timings().BreakTiming, 20);
    QCOMPARE(rig.link->timings().CommandTimeout, 400);

    // Choosing the checked item again keeps it checked and reopens.
    rig.items[3]->trigger();
    QCOMPARE(rig.checkedItem(), 4);
    QCOMPARE(rig.t.trace->last(), QStringLiteral("open 4"));
}

void ConnectionTest::opening_data() {
    QTest::addColumn<QList<int>>("available");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QList<int>>("choices"); // menu items chosen after the start
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("checked");
    QTest::addColumn<int>("scans");
    QTest::addColumn<int>("scanOnConnect");
    QTest::addColumn<bool>("tabEnabled");
    QTest::addColumn<int>("boxes");

    const QString on3 = "Connected on Com Port 3, 1200, n, 7, 1. ";
    const QString off = "Not Connected. ";
    const QByteArray port3 = hex("0300");
    QTest::newRow("stored port opens and scans")
        << QList<int>{3} << port3 << QList<int>{} << on3 << 3 << 1 << 0 << true << 0;
    QTest::newRow("stored port missing")
        << QList<int>{5} << port3 << QList<int>{} << off << 0 << 0 << 1 << false << 1;
    QTest::newRow("first success later still scans once")
        << QList<int>{5} << port3 << QList<int>{5, 5} << "Connected on Com Port 5, 1200, n, 7, 1. "
        << 5 << 1 << 0 << true << 1;
    QTest::newRow("later choices do not scan")
        << QList<int>{3, 12} << port3 << QList<int>{12}
        << "Connected on Com Port 12, 1200, n, 7, 1. " << 12 << 1 << 0 << true << 0;
    QTest::newRow("failing choice after a success")
        << QList<int>{3} << port3 << QList<int>{9} << off << 0 << 1 << 0 << true << 1;
    QTest::newRow("failure, success, failure")
        << QList<int>{7} << port3 << QList<int>{7, 8} << off << 0 << 1 << 0 << true << 2;
}

void ConnectionTest::opening() {
    QFETCH(QList<int>, available);
    QFETCH(QByteArray, stored);
    QFETCH(QList<int>, choices);
    QFETCH(QString, status);
    QFETCH(int, checked);
    QFETCH(int, scans);
    QFETCH(int, scanOnConnect);
    QFETCH(bool, tabEnabled);
    QFETCH(int, boxes);
    Rig rig;
    rig.t.port->availablePorts.assign(available.begin(), available.end());
    writeFile(rig.file, stored);
    rig.connection->ScanOnConnect = 1;

    rig.connection->ReadSysData();
    for (int n : choices)
        rig.items[static_cast<size_t>(n - 1)]->trigger();

    QCOMPARE(rig.panel.text(), status);
    QCOMPARE(rig.checkedItem(), checked);
    QCOMPARE(rig.scans, scans);
    QCOMPARE(rig.connection->ScanOnConnect, scanOnConnect);
    QCOMPARE(rig.tab.isEnabled(), tabEnabled);
    QCOMPARE(rig.query.isEnabled(), tabEnabled);
    QCOMPARE(rig.t.port->isOpen(), status != "Not Connected. ");
    QCOMPARE(rig.t.dialogs.boxes.size(), boxes);
}

void ConnectionTest::failureBox() {
    Rig rig;
    rig.t.port->availablePorts = {1};
    rig.connection->OpenPort(3);
    QCOMPARE(rig.t.dialogs.boxes.size(), 1);
    const FakeDialogs::Box& box = rig.t.dialogs.boxes.first();
    QCOMPARE(box.title, QStringLiteral("Scan Sensors..."));
    QCOMPARE(box.text.section('\n', 0, 0),
             QStringLiteral("No sensors were found. Please check connections and addresses."));
    QCOMPARE(box.text.section('\n', 1),
             QStringLiteral("COM3 (/dev/fake): No such file or directory"));
    QCOMPARE(box.icon, platform::Dialogs::Icon::Exclamation);
    QCOMPARE(box.buttons, platform::Dialogs::Buttons::Ok);
}

void ConnectionTest::storeFailure_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    QTest::newRow("file is a folder") << "<folder>"
                                      << "";
    if (QFile::exists("/dev/full"))
        QTest::newRow("disk full") << "/dev/full"
                                   << "No space left on device";
}

void ConnectionTest::storeFailure() {
    QFETCH(QString, path);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    if (path == "<folder>")
        path = folder.path();
    Rig rig(path);
    rig.t.port->availablePorts = {2};
    rig.timing->BreakText->setText("33");

    rig.items[1]->trigger();

    QCOMPARE(rig.t.dialogs.boxes.size(), 1);
    const FakeDialogs::Box& box = rig.t.dialogs.boxes.first();
    QCOMPARE(box.title, QStringLiteral("Save Settings."));
    QVERIFY2(box.text.startsWith("The settings could not be stored in " + path + ": "),
             qPrintable(box.text));
    QVERIFY2(box.text.contains(reason), qPrintable(box.text));
    QCOMPARE(box.icon, platform::Dialogs::Icon::Exclamation);
    // The choice itself still takes effect.
    QCOMPARE(rig.connection->CommPort, 2);
    QCOMPARE(rig.panel.text(), QStringLiteral("Connected on Com Port 2, 1200, n, 7, 1. "));
    QCOMPARE(rig.link->timings().BreakTiming, 20);
}

void ConnectionTest::timingWindowStoresOnApplyOnly() {
    Rig rig;
    writeFile(rig.file, hex("0600 1400 0f00 c800 9001 5a"));
    rig.connection->ReadSysData();

    rig.timing->BreakText->setText("25");
    rig.timing->butApply->click();
    const QByteArray applied = hex("0600 1900 0f00 c800 9001 5a");
    QCOMPARE(contents(rig.file).toHex(' '), applied.toHex(' '));

    rig.timing->butDefault->click();
    QCOMPARE(rig.link->timings().BreakTiming, 20);
    QCOMPARE(contents(rig.file).toHex(' '), applied.toHex(' '));

    // The next start loads the stored values again.
    Rig next(rig.file);
    next.connection->ReadSysData();
    QCOMPARE(next.timing->BreakText->text(), QStringLiteral("25"));
    QCOMPARE(next.link->timings().BreakTiming, 25);
}

void ConnectionTest::settingsLocation() {
    QTemporaryDir program;
    const QString user = program.filePath("user-config");
    QCOMPARE(platform::SysData::pathIn(program.path(), user),
             QDir(program.path()).filePath("Corvane sysfile.cfg"));
    // A folder the program cannot write to (here: one that does not exist) sends the file
    // to the per-user folder, for reading as well as writing.
    const QString gone = program.filePath("not-there");
    QCOMPARE(platform::SysData::pathIn(gone, user), QDir(user).filePath("Corvane sysfile.cfg"));
    platform::SysData settings(platform::SysData::pathIn(gone, user));
    QVERIFY(settings.write({3, 20, 15, 200, 400}));
    QCOMPARE(contents(QDir(user).filePath("Corvane sysfile.cfg")).size(), 10);

    // Run from the folder it was installed to, the program keeps the file in the per-user
    // folder even where it may write (an administrator in /usr/bin), also when reached
    // through a link; from any other folder the rule above holds.
    const QString installed = program.filePath("bin");
    QVERIFY(QDir().mkpath(installed));
    QVERIFY(QFile::link(installed, program.filePath("bin-link")));
    for (const QString& run : {installed, program.filePath("bin-link")})
        QCOMPARE(platform::SysData::pathIn(run, user, installed),
                 QDir(user).filePath("Corvane sysfile.cfg"));
    QCOMPARE(platform::SysData::pathIn(program.path(), user, installed),
             QDir(program.path()).filePath("Corvane sysfile.cfg"));
}

void ConnectionTest::readOnlySettingsAreNeverWritten() {
    QTemporaryDir dir;
    const QString file = dir.filePath("Corvane sysfile.cfg");
    const QByteArray bytes = hex("0200 1400 0f00 c800 9001");
    writeFile(file, bytes);
    platform::SysData settings(file, true);
    QCOMPARE(settings.read().port, 2);
    QVERIFY(settings.write({7, 1, 2, 3, 4}));
    QCOMPARE(contents(file), bytes);
}

void ConnectionTest::mainWindowWiring() {
    testing::TestServices t;
    t.port->availablePorts = {5, 13};
    QTemporaryDir dir;
    const QString file = dir.filePath("Corvane sysfile.cfg");
    writeFile(file, hex("0500 1400 0f00 2c01 9001"));
    platform::PortMap ports([] {
        return platform::SerialDeviceList(QList<platform::SerialDevice>{
            {"/dev/ttyUSB0", "FT232R USB UART"}, {"/dev/ttyACM0", "SDI-12 Interface"}});
    });
    app::AppServices services = t.services();
    services.ports = &ports;
    services.settingsFile = file;

    app::MainWindow window(services);
    window.setLevelProbeSensorType();
    window.load();

    QCOMPARE(window.mnuCom[4]->text(),
             QStringLiteral("COM5 - FT232R USB UART /dev/ttyUSB0 (COM5)"));
    QVERIFY(window.mnuCom[4]->isEnabled());
    QVERIFY(window.mnuCom[12]->isEnabled());
    QVERIFY(!window.mnuCom[0]->isEnabled());
    QVERIFY(window.mnuCom[4]->isChecked());
    QCOMPARE(window.StatusBar1[1]->text(),
             QStringLiteral("Connected on Com Port 5, 1200, n, 7, 1. "));
    QVERIFY(window.SensorTab->isEnabled());
    QVERIFY(window.mnuQueryAddress->isEnabled());
    QCOMPARE(window.connection().ScanOnConnect, 0);
    QCOMPARE(window.Timing().DataTimeoutText->text(), QStringLiteral("300"));
    QCOMPARE(window.link().timings().DataTimeout, 300);

    window.mnuCom[12]->trigger();
    QCOMPARE(t.trace->last(), QStringLiteral("open 13"));
    QVERIFY(window.mnuCom[12]->isChecked());
    QVERIFY(!window.mnuCom[4]->isChecked());
    QCOMPARE(contents(file).toHex(' '), hex("0d00 1400 0f00 2c01 9001").toHex(' '));
}

void ConnectionTest::pseudoTerminalBoundWithCom() {
    // The way a user reaches the simulated bus: COM1 bound to a pseudo-terminal, opened by
    // the real Qt serial port at start.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0);
    auto closeMaster = qScopeGuard([master] { ::close(master); });
    QVERIFY(::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const QString slave = QString::fromLocal8Bit(::ptsname(master));

    testing::TestServices t;
    QTemporaryDir dir;
    platform::PortMap ports(
        [] { return platform::SerialDeviceList(QList<platform::SerialDevice>{}); });
    ports.bind(1, slave);
    platform::QtSerialPort port(ports);
    app::AppServices services = t.services();
    services.port = &port;
    services.ports = &ports;
    services.settingsFile = dir.filePath("Corvane sysfile.cfg");
    // Port 1 and a short command time-out: nothing answers on the pty, so the first scan
    // ends quickly with its box.
    QVERIFY(platform::SysData(services.settingsFile).write({1, 0, 0, 0, 20}));

    {
        app::MainWindow window(services);
        window.setLevelProbeSensorType();
        window.load();
        QCOMPARE(window.mnuCom[0]->text(),
                 QStringLiteral("COM1 - Serial Port %1 (COM1)").arg(slave));
        QCOMPARE(window.StatusBar1[1]->text(),
                 QStringLiteral("Connected on Com Port 1, 1200, n, 7, 1. "));
        // The first scan goes on from the event loop.
        QTRY_COMPARE_WITH_TIMEOUT(t.dialogs.boxes.size(), 1, 10000);
        QCOMPARE(t.dialogs.boxes[0].text,
                 QStringLiteral("No sensors were found. Please check connections and addresses."));
        QVERIFY(port.isOpen());
    }
    port.close();
}

QTEST_MAIN(ConnectionTest)
#include "tst_connection.moc"
