// sdi12-sim: a simulated SDI-12 bus served on a pseudo-terminal.

#include "Bus.h"
#include "BusConfig.h"
#include "PtyServer.h"
#include "RealTimeScheduler.h"
#include "core/platform/SignalWatcher.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

namespace {

constexpr const char* kDescription = R"(
Serves a simulated SDI-12 bus on a pseudo-terminal, for the SDI-12 configuration tool
or any other program that talks to a serial SDI-12 interface. The first line printed
is the pty's device path; open it (or the --link path) as the serial port.

The bus behaves like an interface with sensors behind it: every request (ending in
"!") is echoed, then the addressed sensor answers one line ending in CR LF.
Level probes and rotary encoders answer their family's requests; their readings
drift slowly so logging shows changes. Without --level and --rotary the bus holds
level probes at 1, 3, 5 and rotary encoders at 2, 4. An address list is single
characters separated by commas.

A measurement's data are ready at the end of its measuring time, when a sensor that
announced a wait sends its service request. A data request before then, or any other
request or break in the meantime, aborts the measurement: its data answer carries
the address alone.

Faults (--fault ADDRESS:KIND, repeatable), per address:
  silent      the echo only, no answer
  no-cr       answers end in LF without CR
  noise       a few noise bytes on the line before the echo
  garbage     the answer is replaced by junk
  zero-wait   measurements announce a wait of 000 and send no service request;
              their data are ready at once
  measure=MS  measurements really take MS ms, whatever wait they announce
  no-service-request
              measurements send no service request (data still ready in time)
  late[=MS]   echo and answer come MS ms late (default 1000)
  refuse=LETTERS
              a set of the setting with these command letters (e.g. XRA) gets
              no answer and changes nothing; its query answers
  differ=LETTERS
              a set of that setting takes another value than the one sent: a
              number plus 1, a list's next entry (the last wraps to the first)

Examples:
  sdi12-sim --link /tmp/sdi12
  sdi12-sim --level 0 --rotary 7 --no-pacing --fault 7:late=600

Runs until interrupted (Ctrl+C) or terminated; the link is removed on exit.)";

QString describe(const sim::TrafficRecord& record) {
    QString text;
    for (const char c : record.bytes) {
        if (c == '\r')
            text += QStringLiteral("<CR>");
        else if (c == '\n')
            text += QStringLiteral("<LF>");
        else if (c < 0x20 || c > 0x7e)
            text += QStringLiteral("<%1>").arg(static_cast<quint8>(c), 2, 16, QLatin1Char('0'));
        else
            text += QLatin1Char(c);
    }
    const char* arrow = record.kind == sim::TrafficRecord::Kind::Request ? "-->" : "<--";
    return QStringLiteral("%1 %2 %3")
        .arg(static_cast<double>(record.end.count()) / 1e6, 10, 'f', 3)
        .arg(QLatin1String(arrow), text);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("sdi12-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SDI12_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption level(QStringLiteral("level"),
                                   QStringLiteral("Level probes at these addresses (e.g. 1,3,5)."),
                                   QStringLiteral("addresses"));
    const QCommandLineOption rotary(QStringLiteral("rotary"),
                                    QStringLiteral("Rotary encoders at these addresses."),
                                    QStringLiteral("addresses"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Also make PATH a symbolic link to the pty."),
                                  QStringLiteral("path"));
    const QCommandLineOption noPacing(
        QStringLiteral("no-pacing"),
        QStringLiteral("Send lines at once instead of 8.33 ms per character (1200 baud)."));
    const QCommandLineOption delay(QStringLiteral("delay"),
                                   QStringLiteral("Wait MS ms before each answer (default 0)."),
                                   QStringLiteral("ms"));
    const QCommandLineOption fault(QStringLiteral("fault"),
                                   QStringLiteral("Switch on a fault at an address (see below)."),
                                   QStringLiteral("address:kind"));
    const QCommandLineOption measure(
        QStringLiteral("measure"),
        QStringLiteral("A measurement at ADDRESS takes MS ms (level probe default: from its "
                       "filter, 2000; encoder: 0)."),
        QStringLiteral("address=ms"));
    const QCommandLineOption repeat(
        QStringLiteral("repeat-mnemonic"),
        QStringLiteral("Encoders at these addresses repeat the mnemonic in their answers."),
        QStringLiteral("addresses"));
    const QCommandLineOption quiet(QStringLiteral("quiet"),
                                   QStringLiteral("Do not print the traffic."));
    parser.addOptions({level, rotary, link, noPacing, delay, fault, measure, repeat, quiet});
    parser.process(app);

    QTextStream err(stderr);
    const auto usageError = [&](const QString& message) {
        err << "sdi12-sim: " << message << "\n"
            << "Try 'sdi12-sim --help' for more information.\n";
        err.flush();
        return 2;
    };
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument \"%1\".")
                              .arg(parser.positionalArguments().constFirst()));

    sim::BusConfig config;
    QString error;
    for (const QString& value : parser.values(level))
        if (!config.addSensors(sim::Sensor::Family::LevelProbe, value, &error))
            return usageError(error);
    for (const QString& value : parser.values(rotary))
        if (!config.addSensors(sim::Sensor::Family::RotaryEncoder, value, &error))
            return usageError(error);
    if (config.sensors.isEmpty())
        config.sensors = sim::BusConfig::demo().sensors;
    config.pacing = !parser.isSet(noPacing);
    if (parser.isSet(delay)) {
        bool ok = false;
        const int ms = parser.value(delay).toInt(&ok);
        if (!ok || ms < 0)
            return usageError(
                QStringLiteral("--delay needs milliseconds, not \"%1\".").arg(parser.value(delay)));
        config.responseDelay = sim::milliseconds(ms);
    }
    for (const QString& value : parser.values(fault))
        if (!config.addFault(value, &error))
            return usageError(error);
    for (const QString& value : parser.values(measure))
        if (!config.addMeasurementTime(value, &error))
            return usageError(error);
    for (const QString& value : parser.values(repeat))
        if (!config.addRepeatMnemonic(value, &error))
            return usageError(error);

    platform::SignalWatcher watcher;
    QObject::connect(&watcher, &platform::SignalWatcher::terminationRequested, &app,
                     [] { QCoreApplication::quit(); });

    sim::RealTimeScheduler scheduler;
    sim::Bus bus(scheduler);
    bus.setRecording(false);
    config.applyTo(bus);

    sim::PtyServer server(bus);
    if (!server.open()) {
        err << "sdi12-sim: " << server.errorString() << "\n";
        return 1;
    }
    if (parser.isSet(link) && !server.createLink(parser.value(link))) {
        err << "sdi12-sim: " << server.errorString() << "\n";
        return 1;
    }

    QTextStream out(stdout);
    out << server.slavePath() << Qt::endl;
    err << "sdi12-sim: serving";
    for (const auto& sensor : bus.sensors())
        err << ' ' << sensor->address()
            << (sensor->family() == sim::Sensor::Family::LevelProbe ? ":level" : ":rotary");
    err << " on " << server.slavePath();
    if (!server.linkPath().isEmpty())
        err << " (link " << server.linkPath() << ")";
    err << (config.pacing ? ", paced at 1200 baud" : ", unpaced") << Qt::endl;

    if (!parser.isSet(quiet))
        QObject::connect(&bus, &sim::Bus::recorded, &app, [&out](const sim::TrafficRecord& record) {
            out << describe(record) << Qt::endl;
        });

    const int status = app.exec();
    server.close();
    err << "sdi12-sim: stopped" << Qt::endl;
    return status;
}
