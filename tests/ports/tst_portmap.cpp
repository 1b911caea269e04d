#include "core/platform/Numbers.h"
#include "core/platform/PortMap.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using platform::PortMap;
using platform::SerialDevice;
using platform::SerialDeviceList;

Q_DECLARE_METATYPE(QList<SerialDevice>)

namespace {

platform::DeviceSource devicesOf(QList<SerialDevice> devices) {
    return [devices] { return SerialDeviceList(devices); };
}

} // namespace

class PortMapTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void defaultNumber_data();
    void defaultNumber();
    void pluggingInKeepsNumbers();
    void displayNames_data();
    void displayNames();
    void explicitBindingTakesOver();
    void bindingThroughSymlinkIsTheSameDevice();
    void listUnavailable();
    void roundHalfEven_data();
    void roundHalfEven();
};

void PortMapTest::defaultNumber_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("port");
    QTest::newRow("ttyS0") << "/dev/ttyS0" << 1;
    QTest::newRow("ttyS3") << "/dev/ttyS3" << 4;
    QTest::newRow("ttyS4 has no number") << "/dev/ttyS4" << 0;
    QTest::newRow("ttyUSB0") << "/dev/ttyUSB0" << 5;
    QTest::newRow("ttyUSB7") << "/dev/ttyUSB7" << 12;
    QTest::newRow("ttyUSB8 has no number") << "/dev/ttyUSB8" << 0;
    QTest::newRow("ttyACM0") << "/dev/ttyACM0" << 13;
    QTest::newRow("ttyACM3") << "/dev/ttyACM3" << 16;
    QTest::newRow("ttyACM4 has no number") << "/dev/ttyACM4" << 0;
    QTest::newRow("leading zero is not a kernel name") << "/dev/ttyUSB01" << 0;
    QTest::newRow("ttyAMA0") << "/dev/ttyAMA0" << 0;
    QTest::newRow("pty") << "/dev/pts/3" << 0;
    QTest::newRow("elsewhere") << "/tmp/ttyUSB0" << 0;
}

void PortMapTest::defaultNumber() {
    QFETCH(QString, path);
    QFETCH(int, port);
    QCOMPARE(PortMap::defaultPortNumber(path), port);
    if (port != 0) {
        QCOMPARE(PortMap::defaultPath(port), path);
        QCOMPARE(PortMap(devicesOf({})).path(port), path);
    }
}

void PortMapTest::pluggingInKeepsNumbers() {
    QList<SerialDevice> devices{{"/dev/ttyUSB0", "FT232R USB UART"}};
    PortMap before(devicesOf(devices));
    devices.prepend({"/dev/ttyUSB1", "CP2102 USB to UART Bridge Controller"});
    devices.prepend({"/dev/ttyACM0", "Arduino Uno"});
    PortMap after(devicesOf(devices));

    QCOMPARE(before.displayNames().names, QStringList{"FT232R USB UART /dev/ttyUSB0 (COM5)"});
    QCOMPARE(after.displayNames().names,
             (QStringList{"Arduino Uno /dev/ttyACM0 (COM13)",
                          "CP2102 USB to UART Bridge Controller /dev/ttyUSB1 (COM6)",
                          "FT232R USB UART /dev/ttyUSB0 (COM5)"}));
    QCOMPARE(after.path(5), QStringLiteral("/dev/ttyUSB0"));
}

void PortMapTest::displayNames_data() {
    QTest::addColumn<QList<SerialDevice>>("devices");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("device without description")
        << QList<SerialDevice>{{"/dev/ttyS0", ""}} << QStringList{"Serial Port /dev/ttyS0 (COM1)"};
    QTest::newRow("device outside the rule has no port")
        << QList<SerialDevice>{{"/dev/ttyAMA0", "PL011 UART"}, {"/dev/ttyS1", "16550A"}}
        << QStringList{"PL011 UART /dev/ttyAMA0", "16550A /dev/ttyS1 (COM2)"};
    QTest::newRow("system order kept")
        << QList<SerialDevice>{{"/dev/ttyUSB2", "B"}, {"/dev/ttyS0", "A"}}
        << QStringList{"B /dev/ttyUSB2 (COM7)", "A /dev/ttyS0 (COM1)"};
    QTest::newRow("no devices") << QList<SerialDevice>{} << QStringList{};
}

void PortMapTest::displayNames() {
    QFETCH(QList<SerialDevice>, devices);
    QFETCH(QStringList, names);
    const PortMap::DeviceNames found = PortMap(devicesOf(devices)).displayNames();
    QCOMPARE(found.names, names);
    QVERIFY(found.complete);
}

void PortMapTest::explicitBindingTakesOver() {
    PortMap map(devicesOf({{"/dev/ttyS0", "16550A"}, {"/dev/ttyUSB0", "FT232R USB UART"}}));
    map.bind(1, "/dev/pts/7");   // COM1 leaves ttyS0 for a pseudo-terminal
    map.bind(2, "/dev/ttyUSB0"); // the adapter moves from COM5 to COM2

    QCOMPARE(map.path(1), QStringLiteral("/dev/pts/7"));
    QCOMPARE(map.path(2), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(map.path(5), QString()); // one device, one number
    QCOMPARE(map.displayNames().names,
             (QStringList{"16550A /dev/ttyS0", "FT232R USB UART /dev/ttyUSB0 (COM2)",
                          "Serial Port /dev/pts/7 (COM1)"}));

    map.bind(2, QString());
    QCOMPARE(map.path(2), QStringLiteral("/dev/ttyS1"));
    QCOMPARE(map.path(5), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(map.path(17), QString());
}

void PortMapTest::bindingThroughSymlinkIsTheSameDevice() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("by-id-port0");
    QVERIFY(QFile::link("/dev/null", link));
    PortMap map(devicesOf({{"/dev/null", "Null Device"}}));
    map.bind(3, link);
    QCOMPARE(map.displayNames().names, QStringList{"Null Device /dev/null (COM3)"});
    QCOMPARE(map.portNumberOf("/dev/null"), 3);
}

void PortMapTest::listUnavailable() {
    PortMap map([] { return SerialDeviceList{}; });
    map.bind(4, "/dev/pts/2");
    const PortMap::DeviceNames found = map.displayNames();
    QVERIFY(!found.complete);
    QCOMPARE(found.names, QStringList{"Serial Port /dev/pts/2 (COM4)"});
}

void PortMapTest::roundHalfEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::newRow("20.5") << 20.5 << 20.0;
    QTest::newRow("21.5") << 21.5 << 22.0;
    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("20.49") << 20.49 << 20.0;
    QTest::newRow("20.51") << 20.51 << 21.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("-3.5") << -3.5 << -4.0;
    QTest::newRow("32767.5") << 32767.5 << 32768.0;
}

void PortMapTest::roundHalfEven() {
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(platform::roundHalfEven(value), rounded);
}

QTEST_GUILESS_MAIN(PortMapTest)
#include "tst_portmap.moc"
