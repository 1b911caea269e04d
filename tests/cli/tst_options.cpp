// sdi12's command line read: what each command takes, and the refusals a script gets with
// exit status 2 before anything touches the port.

#include "cli/Options.h"

#include <QTest>

class OptionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commandLines_data();
    void commandLines();
};

void OptionsTest::commandLines_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("outcome"); // the error, or what was read

    const auto row = [](const char* name, const QStringList& args, const QString& outcome) {
        QTest::newRow(name) << (QStringList{QStringLiteral("sdi12")} + args) << outcome;
    };
    row("scan", {"scan"}, "scan [] level");
    row("options after the command", {"get", "1", "range", "--family", "encoder", "--json"},
        "get [1,range] encoder json");
    row("a binding", {"--com", "3=/dev/ttyUSB0", "scan"}, "scan [] level com3=/dev/ttyUSB0");
    row("a binding out of range", {"--com", "17=/dev/ttyUSB0", "scan"},
        "--com takes N=PATH with N from 1 to 16, not \"17=/dev/ttyUSB0\".");
    row("an unknown family", {"--family", "pump", "scan"},
        "--family takes level or encoder, not \"pump\".");
    row("an unknown command", {"frobnicate"}, "Unknown command \"frobnicate\".");
    row("no command", {}, "No command given.");
    row("too few arguments", {"get", "1"}, "get takes 2 argument(s), not 1.");
    row("apply to two", {"apply", "probe.txt", "3", "5"}, "apply [probe.txt,3,5] level");
    row("apply to nobody", {"apply", "probe.txt"}, "apply takes a report and one address or more.");
    row("log for ten minutes", {"log", "1", "--every", "2", "--for", "10m"},
        "log [1] level every 2 for 600");
    row("log for two hours", {"log", "1", "--every", "60", "--for", "2h"},
        "log [1] level every 60 for 7200");
    row("log without --every", {"log", "1"}, "log takes --every with whole seconds, 1 or more.");
    row("log at half seconds", {"log", "1", "--every", "1.5"},
        "log takes --every with whole seconds, 1 or more.");
    row("a duration without a number", {"log", "1", "--every", "1", "--for", "m"},
        "--for takes a duration such as 90, 30s, 10m or 2h, not \"m\".");
    row("count and for", {"log", "1", "--every", "1", "--count", "5", "--for", "1m"},
        "log takes --count or --for, not both.");
    row("no readings", {"measure", "1", "--count", "0"},
        "--count takes a whole number from 1, not \"0\".");
}

void OptionsTest::commandLines() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, outcome);
    const cli::Options o = cli::Options::parse(arguments);
    if (!o.error.isEmpty()) {
        QCOMPARE(o.error, outcome);
        return;
    }
    QString read = QStringLiteral("%1 [%2] %3")
                       .arg(o.command, o.arguments.join(QLatin1Char(',')),
                            o.rotary ? QStringLiteral("encoder") : QStringLiteral("level"));
    if (o.json)
        read += QStringLiteral(" json");
    for (const auto& [n, path] : o.bindings)
        read += QStringLiteral(" com%1=%2").arg(n).arg(path);
    if (o.command == QLatin1String("log"))
        read += QStringLiteral(" every %1 for %2").arg(o.every).arg(o.forSeconds);
    QCOMPARE(read, outcome);
}

QTEST_GUILESS_MAIN(OptionsTest)
#include "tst_options.moc"
