#include "core/platform/PortMap.h"
#include "core/platform/QtSerialPort.h"
#include "gui/app/CommandLine.h"
#include "gui/app/DemoBus.h"

#include <QFileInfo>
#include <QProcess>
#include <QTest>

using app::CommandLine;

class CommandLineTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data();
    void parse();
    void programExitStatus_data();
    void programExitStatus();
    void demoBusAnswersOnItsDevice();
};

void CommandLineTest::parse_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("bindings"); // "n=path;..."
    QTest::addColumn<bool>("demo");
    QTest::addColumn<bool>("failed");

    QTest::newRow("nothing") << QStringList{} << "" << false << false;
    QTest::newRow("demo") << QStringList{"--demo"} << "" << true << false;
    QTest::newRow("two bindings") << QStringList{"--com", "3=/dev/ttyUSB0", "--com=16=/tmp/a=b"}
                                  << "3=/dev/ttyUSB0;16=/tmp/a=b" << false << false;
    QTest::newRow("port 0") << QStringList{"--com", "0=/dev/ttyS0"} << "" << false << true;
    QTest::newRow("port 17") << QStringList{"--com", "17=/dev/ttyS0"} << "" << false << true;
    QTest::newRow("no path") << QStringList{"--com", "3="} << "" << false << true;
    QTest::newRow("no number") << QStringList{"--com", "/dev/ttyS0"} << "" << false << true;
    QTest::newRow("missing value") << QStringList{"--com"} << "" << false << true;
    QTest::newRow("unknown option") << QStringList{"--scan"} << "" << false << true;
    QTest::newRow("stray argument") << QStringList{"COM3"} << "" << false << true;
}

void CommandLineTest::parse() {
    QFETCH(QStringList, args);
    QFETCH(QString, bindings);
    QFETCH(bool, demo);
    QFETCH(bool, failed);
    const CommandLine cl = CommandLine::parse(QStringList{"sdi12-config"} + args);
    QCOMPARE(!cl.error.isEmpty(), failed);
    if (failed)
        return;
    QStringList got;
    for (const auto& [n, path] : cl.bindings)
        got << QStringLiteral("%1=%2").arg(n).arg(path);
    QCOMPARE(got.join(';'), bindings);
    QCOMPARE(cl.demo, demo);
}

void CommandLineTest::programExitStatus_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");
    QTest::newRow("help") << QStringList{"--help"} << 0 << "--com <N=PATH>";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "sdi12-config 1.0.0";
    QTest::newRow("unknown") << QStringList{"--frobnicate"} << 2 << "Unknown option 'frobnicate'";
    QTest::newRow("bad port") << QStringList{"--com", "99=/dev/x"} << 2 << "Invalid --com";
}

void CommandLineTest::programExitStatus() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, output);
    QProcess program;
    program.start(QStringLiteral(SDI12_CONFIG_PROGRAM), args);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
    const QString all =
        QString::fromLocal8Bit(program.readAllStandardOutput() + program.readAllStandardError());
    QVERIFY2(all.contains(output), qPrintable(all));
}

void CommandLineTest::demoBusAnswersOnItsDevice() {
    app::DemoBus demo;
    QVERIFY2(demo.start(), qPrintable(demo.errorString()));
    QVERIFY(QFileInfo::exists(demo.devicePath()));

    platform::PortMap ports;
    ports.bind(1, demo.devicePath());
    platform::QtSerialPort port(ports);
    QVERIFY2(port.open(1), qPrintable(port.errorString()));
    port.write("1I!");
    // The interface echoes the request; the level probe at 1 answers its identification.
    QByteArray got;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            while (port.bytesWaiting() > 0)
                got.append(static_cast<char>(port.readByte()));
            return got.endsWith("\r\n");
        }(),
        5000);
    QVERIFY2(got.startsWith("1I!1"), got.constData());
    port.close();
    demo.stop();
}

QTEST_MAIN(CommandLineTest)
#include "tst_commandline.moc"
