// sdi12 as a script runs it: the real program against sdi12-sim on a pseudo-terminal, its
// output, its exit status and the requests the bus received.

#include "core/logging/JournalReader.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/types.h>

namespace {

// sdi12-sim serving a bus on a link in a folder of its own, unpaced, printing its traffic.
class SimBus {
public:
    explicit SimBus(const QStringList& options) {
        link_ = dir_.filePath(QStringLiteral("bus"));
        sim_.start(QStringLiteral(SDI12_SIM_PROGRAM),
                   options +
                       QStringList{QStringLiteral("--no-pacing"), QStringLiteral("--link"), link_});
        ready_ = sim_.waitForStarted(10'000) && sim_.waitForReadyRead(10'000);
        sim_.readAll(); // the device path
    }
    ~SimBus() {
        sim_.terminate();
        sim_.waitForFinished(10'000);
    }
    bool ready() const { return ready_; }
    const QString& link() const { return link_; }
    // The requests received since the last call.
    QStringList requests() {
        sim_.waitForReadyRead(200);
        QStringList sent;
        for (const QByteArray& line : sim_.readAll().split('\n'))
            if (line.contains("-->"))
                sent << QString::fromLatin1(line.mid(line.indexOf("-->") + 3)).trimmed();
        return sent;
    }

private:
    QTemporaryDir dir_;
    QProcess sim_;
    QString link_;
    bool ready_ = false;
};

struct Run {
    int status = -1;
    QString out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

// The home of every sdi12 run: its settings and journals.
QTemporaryDir& home() {
    static QTemporaryDir dir;
    return dir;
}

QProcessEnvironment environment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home().path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home().filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_STATE_HOME"), home().filePath(QStringLiteral("state")));
    return env;
}

// Runs sdi12 with the arguments, its settings and journals in a folder of their own.
Run sdi12(const QStringList& arguments) {
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(QStringLiteral(SDI12_PROGRAM), arguments);
    Run run;
    if (!p.waitForFinished(120'000))
        return run;
    run.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

} // namespace

class CliTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scanBothFamilies();
    void getSetAndRefusals();
    void setLeftUnansweredFails();
    void applyAndCompare();
    void logToCsvUntilCtrlC();
    void sendAsTyped();
    void portAndUsageErrors();
};

void CliTest::scanBothFamilies() {
    SimBus levels({QStringLiteral("--level"), QStringLiteral("1,3")});
    QVERIFY(levels.ready());
    const Run text = sdi12({QStringLiteral("--port"), levels.link(), QStringLiteral("scan")});
    QCOMPARE(text.status, 0);
    const QStringList lines = text.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[1].startsWith(QStringLiteral("1 ")) && lines[2].startsWith(QStringLiteral("3 ")));
    QVERIFY(lines[1].contains(QStringLiteral("mH2O")));

    SimBus encoders({QStringLiteral("--rotary"), QStringLiteral("2")});
    const Run direction = sdi12({"--port", encoders.link(), "--family", "encoder", "set", "2",
                                 "rotation-direction", "Anticlockwise"});
    QCOMPARE(direction.status, 0);
    QCOMPARE(
        sdi12({"--port", encoders.link(), "--family", "encoder", "get", "2", "Rotation Direction"})
            .out.trimmed(),
        QStringLiteral("Anticlockwise"));
    const Run json =
        sdi12({QStringLiteral("--port"), encoders.link(), QStringLiteral("--family"),
               QStringLiteral("encoder"), QStringLiteral("--json"), QStringLiteral("scan")});
    QCOMPARE(json.status, 0);
    const QJsonArray sensors = json.json().value(QStringLiteral("sensors")).toArray();
    QCOMPARE(sensors.size(), 1);
    const QJsonObject encoder = sensors.first().toObject();
    QCOMPARE(encoder.value(QStringLiteral("address")).toInt(), 2);
    QVERIFY(!encoder.value(QStringLiteral("serialNumber")).toString().isEmpty());
    QVERIFY(
        !encoder.value(QStringLiteral("reading")).toObject().value("unit").toString().isEmpty());
}

void CliTest::getSetAndRefusals() {
    SimBus bus({QStringLiteral("--level"), QStringLiteral("1")});
    const QStringList port{QStringLiteral("--port"), bus.link()};
    const Run set = sdi12(port + QStringList{"set", "1", "local-gravity", "9.7"});
    QCOMPARE(set.status, 0);
    QCOMPARE(set.out.trimmed(), QStringLiteral("Local Gravity = 9.7: applied"));
    QVERIFY(bus.requests().contains(QStringLiteral("1XE9.7!")));
    const Run get = sdi12(port + QStringList{"--json", "get", "1", "LOCAL GRAVITY"});
    QCOMPARE(get.status, 0);
    QCOMPARE(get.json().value(QStringLiteral("value")).toString().toDouble(), 9.7);

    // The page's checks: nothing is sent for a set it would refuse.
    bus.requests();
    const Run locked = sdi12(port + QStringList{"set", "1", "Range", "10"});
    QCOMPARE(locked.status, 1);
    QVERIFY(locked.out.contains(QStringLiteral("refused, nothing sent")));
    const Run unit = sdi12(port + QStringList{"set", "1", "pressure units", "mbr"});
    QCOMPARE(unit.status, 1);
    // Queries only (the sensor read first), no set of the range or the unit.
    static const QRegularExpression aSet(QStringLiteral("X(RA|UP)[^!]"));
    for (const QString& request : bus.requests())
        QVERIFY2(!aSet.match(request).hasMatch(), qPrintable(request));
    QCOMPARE(sdi12(port + QStringList{"set", "1", "no such thing", "1"}).status, 2);
}

void CliTest::setLeftUnansweredFails() {
    SimBus bus({QStringLiteral("--level"), QStringLiteral("3"), QStringLiteral("--fault"),
                QStringLiteral("3:refuse=XE")});
    const Run set = sdi12({"--port", bus.link(), "--json", "set", "3", "Local Gravity", "9.7"});
    QCOMPARE(set.status, 1);
    QCOMPARE(set.json().value(QStringLiteral("outcome")).toString(),
             QStringLiteral("failed: no answer to 3XE9.7!"));
}

void CliTest::applyAndCompare() {
    // A report saved from sensor 3 with two values changed, applied to 3 and 5; 5 leaves
    // the gravity set unanswered.
    SimBus bus({QStringLiteral("--level"), QStringLiteral("3,5"), QStringLiteral("--fault"),
                QStringLiteral("5:refuse=XE")});
    const QStringList port{QStringLiteral("--port"), bus.link()};
    const Run show = sdi12(port + QStringList{"show", "3"});
    QCOMPARE(show.status, 0);
    QString report = show.out;
    report.replace(QRegularExpression(QStringLiteral("Local Gravity = [^\r]*")),
                   QStringLiteral("Local Gravity = 9.7"));
    report.replace(QStringLiteral("Temperature Units = Centigrade"),
                   QStringLiteral("Temperature Units = Fahrenheit"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("probe.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(report.toUtf8()) > 0);
    file.close();
    QCOMPARE(sdi12(port + QStringList{"compare", "3", path}).status, 1);

    const Run apply = sdi12(port + QStringList{"--json", "apply", path, "3", "5"});
    QCOMPARE(apply.status, 1);
    QHash<QString, QString> outcomes; // "address setting" -> outcome
    for (const QJsonValue sensor : apply.json().value(QStringLiteral("sensors")).toArray())
        for (const QJsonValue row : sensor.toObject().value(QStringLiteral("rows")).toArray())
            outcomes.insert(QStringLiteral("%1 %2")
                                .arg(sensor.toObject().value(QStringLiteral("address")).toInt())
                                .arg(row.toObject().value(QStringLiteral("setting")).toString()),
                            row.toObject().value(QStringLiteral("outcome")).toString());
    QCOMPARE(outcomes.value("3 Local Gravity"), QStringLiteral("applied"));
    QCOMPARE(outcomes.value("3 Temperature Units"), QStringLiteral("applied"));
    QCOMPARE(outcomes.value("5 Local Gravity"), QStringLiteral("failed: no answer to 5XE9.7!"));
    QCOMPARE(outcomes.value("5 Temperature Units"), QStringLiteral("applied"));
    QCOMPARE(sdi12(port + QStringList{"compare", "3", path}).status, 0);
    QCOMPARE(sdi12(port + QStringList{"compare", "3", "5"}).status, 1);
}

void CliTest::logToCsvUntilCtrlC() {
    SimBus bus({QStringLiteral("--level"), QStringLiteral("1"), QStringLiteral("--fault"),
                QStringLiteral("1:zero-wait")});
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("log.csv"));
    const Run five =
        sdi12({"--port", bus.link(), "log", "1", "--every", "1", "--count", "5", "--output", csv});
    QCOMPARE(five.status, 0);
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    QCOMPARE(lines.first().trimmed(), QByteArray("Date,Time,Pressure,Units,Temperature,Units"));
    QCOMPARE(lines.size(), 2 + 5); // the header, an empty line, five readings
    QVERIFY(lines.last().contains(",mH2O,"));

    // A log without an end: Ctrl-C ends it with its journal finished and its file written.
    const QString open = dir.filePath(QStringLiteral("open.csv"));
    QProcess log;
    log.setProcessEnvironment(environment());
    log.start(QStringLiteral(SDI12_PROGRAM),
              {"--port", bus.link(), "log", "1", "--every", "1", "--output", open});
    QVERIFY(log.waitForStarted());
    // Two readings in, or the program ended by itself.
    QByteArray shown;
    QTRY_VERIFY_WITH_TIMEOUT((shown += log.readAllStandardOutput()).count('\n') >= 2 ||
                                 log.state() != QProcess::Running,
                             20'000);
    // A second program on the same port is refused, and says why.
    const Run second = sdi12({"--port", bus.link(), "get", "1", "range"});
    QCOMPARE(second.status, 2);
    QVERIFY2(second.err.contains(QStringLiteral("in use by another program")),
             qPrintable(second.err));
    ::kill(static_cast<pid_t>(log.processId()), SIGINT);
    QVERIFY(log.waitForFinished(20'000));
    QCOMPARE(log.exitStatus(), QProcess::NormalExit);
    QCOMPARE(log.exitCode(), 0);
    QVERIFY(QFile::exists(open));
    const QStringList journals = QDir(home().filePath(QStringLiteral("state/sdi12-config/journal")))
                                     .entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Time);
    QVERIFY(!journals.isEmpty());
    QVERIFY(logging::journalFinished(
        home().filePath(QStringLiteral("state/sdi12-config/journal/")) + journals.first()));
}

void CliTest::sendAsTyped() {
    SimBus bus({QStringLiteral("--level"), QStringLiteral("1")});
    const Run answered = sdi12({"--port", bus.link(), "send", "1I!"});
    QCOMPARE(answered.status, 0);
    QVERIFY2(answered.out.startsWith(QStringLiteral("1I!113")), qPrintable(answered.out));
    const Run silent = sdi12({"--port", bus.link(), "send", "5I!"});
    QCOMPARE(silent.status, 1);
    QVERIFY(silent.err.contains(QStringLiteral("no answer to 5I!")));
}

void CliTest::portAndUsageErrors() {
    const Run missing = sdi12({"--port", "/nonexistent/tty", "scan"});
    QCOMPARE(missing.status, 2);
    QVERIFY2(missing.err.contains(QStringLiteral("/nonexistent/tty, which does not exist")),
             qPrintable(missing.err));
    QCOMPARE(sdi12({"frobnicate"}).status, 2);
    QCOMPARE(sdi12({"get", "12", "Range"}).status, 2);
    QCOMPARE(sdi12({"--family", "pump", "scan"}).status, 2);
    const Run help = sdi12({"--help"});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.contains(QStringLiteral("set ADDRESS SETTING VALUE")));
}

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
