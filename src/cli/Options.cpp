#include "Options.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace cli {

namespace {

const QCommandLineOption kPort(QStringLiteral("port"),
                               QStringLiteral("The serial port: a COM number (COM3 or 3) or a "
                                              "device path. Default: the settings file's port."),
                               QStringLiteral("COMn|PATH"));
const QCommandLineOption kCom(QStringLiteral("com"),
                              QStringLiteral("Bind COM N (1-16) to a device path, as the "
                                             "window's --com does. Repeatable."),
                              QStringLiteral("N=PATH"));
const QCommandLineOption kFamily(QStringLiteral("family"),
                                 QStringLiteral("level (level probes, the default) or encoder "
                                                "(rotary encoders)."),
                                 QStringLiteral("level|encoder"));
const QCommandLineOption kJson(QStringLiteral("json"),
                               QStringLiteral("One JSON document per command (one object per "
                                              "line for measure --every)."));
const QCommandLineOption kCount(QStringLiteral("count"),
                                QStringLiteral("measure: how many readings (default 1)."),
                                QStringLiteral("N"));
const QCommandLineOption kEvery(QStringLiteral("every"),
                                QStringLiteral("measure: seconds from one reading to the next."),
                                QStringLiteral("SECONDS"));
const QCommandLineOption kFor(QStringLiteral("for"),
                              QStringLiteral("log: how long, in seconds or with s, m, h or d "
                                             "(90, 10m, 2h)."),
                              QStringLiteral("DURATION"));
const QCommandLineOption kOutput(QStringLiteral("output"),
                                 QStringLiteral("log: also write the log to FILE, csv, xlsx or "
                                                "xls by its extension, as \"Save Log\" does."),
                                 QStringLiteral("FILE"));
const QCommandLineOption kHelp(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                               QStringLiteral("Show this help and exit."));
const QCommandLineOption kVersion(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                  QStringLiteral("Show the version and exit."));

const QString kCommands = QStringLiteral(
    "Commands:\n"
    "  ports                      the serial devices and the COM numbers they are bound to\n"
    "  scan                       find the sensors at 0-9: address, serial number,\n"
    "                             identification, first reading\n"
    "  show ADDRESS               every setting, read from the sensor, as the configuration\n"
    "                             report \"Save As...\" writes\n"
    "  get ADDRESS SETTING        one setting, read from the sensor\n"
    "  set ADDRESS SETTING VALUE  set it with the page's checks and requests, read it back\n"
    "  measure ADDRESS            take readings (--count N, --every SECONDS)\n"
    "  apply REPORT ADDRESS...    apply a saved configuration report, every value read back\n"
    "  compare ADDRESS (REPORT | ADDRESS)\n"
    "                             the settings beside a report's or another sensor's\n"
    "  address ADDRESS NEW        change a sensor's address (with the probe of the new one)\n"
    "  log ADDRESS --every SECONDS [--count N | --for DURATION] [--output FILE]\n"
    "                             log readings as the window does, to its journal too;\n"
    "                             Ctrl-C ends the log\n"
    "  send REQUEST               one request as typed (like the console), its reply printed\n"
    "\n"
    "SETTING is named as the configuration report names it, in any letter case, blanks or\n"
    "dashes alike (\"Local Gravity\", local-gravity).\n"
    "Exit status: 0 done and read back as asked; 1 a sensor did not answer, refused or\n"
    "reads back different; 2 a usage, port or file error.\n");

// The number of arguments each command takes.
int argumentsOf(const QString& command) {
    static const QHash<QString, int> counts{
        {QStringLiteral("ports"), 0},  {QStringLiteral("scan"), 0}, {QStringLiteral("show"), 1},
        {QStringLiteral("get"), 2},    {QStringLiteral("set"), 3},  {QStringLiteral("measure"), 1},
        {QStringLiteral("log"), 1},    {QStringLiteral("send"), 1}, {QStringLiteral("address"), 2},
        {QStringLiteral("compare"), 2}};
    if (command == QLatin1String("apply"))
        return -2; // a report and one address or more
    return counts.value(command, -1);
}

void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Configure, read and log SDI-12 level probes and rotary encoders from "
                       "the command line."));
    for (const QCommandLineOption& o :
         {kPort, kCom, kFamily, kJson, kCount, kEvery, kFor, kOutput, kHelp, kVersion})
        parser.addOption(o);
    parser.addPositionalArgument(QStringLiteral("COMMAND"), QStringLiteral("See below."),
                                 QStringLiteral("COMMAND [ARGUMENT...]"));
}

} // namespace

Options Options::parse(const QStringList& arguments) {
    Options o;
    QCommandLineParser parser;
    describe(parser);
    // Options may stand before or after the command.
    if (!parser.parse(arguments)) {
        o.error = parser.errorText();
        return o;
    }
    o.help = parser.isSet(kHelp);
    o.version = parser.isSet(kVersion);
    if (o.help || o.version)
        return o;
    o.port = parser.value(kPort);
    o.json = parser.isSet(kJson);
    const QString family = parser.value(kFamily);
    if (family == QLatin1String("encoder") || family == QLatin1String("rotary"))
        o.rotary = true;
    else if (!family.isEmpty() && family != QLatin1String("level"))
        o.error = QStringLiteral("--family takes level or encoder, not \"%1\".").arg(family);
    static const QRegularExpression binding(QStringLiteral("^(\\d{1,2})=(.+)$"));
    for (const QString& value : parser.values(kCom)) {
        const QRegularExpressionMatch m = binding.match(value);
        const int n = m.hasMatch() ? m.captured(1).toInt() : 0;
        if (n < 1 || n > 16) {
            o.error =
                QStringLiteral("--com takes N=PATH with N from 1 to 16, not \"%1\".").arg(value);
            return o;
        }
        o.bindings.emplace_back(n, m.captured(2));
    }
    o.output = parser.value(kOutput);
    if (parser.isSet(kFor)) {
        static const QRegularExpression duration(QStringLiteral("^(\\d{1,7})([smhd]?)$"));
        const QRegularExpressionMatch m = duration.match(parser.value(kFor));
        const qint64 units[] = {1, 60, 3600, 86400};
        const qsizetype unit = QStringLiteral("smhd").indexOf(m.captured(2));
        o.forSeconds =
            m.hasMatch() ? m.captured(1).toLongLong() * units[std::max<qsizetype>(unit, 0)] : 0;
        if (o.forSeconds <= 0)
            o.error =
                QStringLiteral("--for takes a duration such as 90, 30s, 10m or 2h, not \"%1\".")
                    .arg(parser.value(kFor));
    }
    if (parser.isSet(kCount)) {
        o.countGiven = true;
        bool ok = false;
        o.count = parser.value(kCount).toInt(&ok);
        if (!ok || o.count < 1)
            o.error = QStringLiteral("--count takes a whole number from 1, not \"%1\".")
                          .arg(parser.value(kCount));
    }
    if (parser.isSet(kEvery)) {
        bool ok = false;
        o.every = parser.value(kEvery).toDouble(&ok);
        if (!ok || o.every <= 0 || o.every > 86400)
            o.error = QStringLiteral("--every takes seconds greater than 0, not \"%1\".")
                          .arg(parser.value(kEvery));
    }
    if (!o.error.isEmpty())
        return o;
    if (parser.isSet(kFor) && o.countGiven)
        o.error = QStringLiteral("log takes --count or --for, not both.");
    if (!o.error.isEmpty())
        return o;
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        o.error = QStringLiteral("No command given.");
        return o;
    }
    o.command = positional.first();
    o.arguments = positional.mid(1);
    const int wanted = argumentsOf(o.command);
    if (wanted == -2) {
        if (o.arguments.size() < 2)
            o.error = QStringLiteral("apply takes a report and one address or more.");
        return o;
    }
    if (wanted < 0)
        o.error = QStringLiteral("Unknown command \"%1\".").arg(o.command);
    else if (o.command == QLatin1String("log") && (o.every < 1 || o.every != std::floor(o.every)))
        o.error = QStringLiteral("log takes --every with whole seconds, 1 or more.");
    else if (o.arguments.size() != wanted)
        o.error = QStringLiteral("%1 takes %2 argument(s), not %3.")
                      .arg(o.command)
                      .arg(wanted)
                      .arg(o.arguments.size());
    return o;
}

QString Options::helpText() {
    QCommandLineParser parser;
    describe(parser);
    return parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("sdi12")) +
           QLatin1Char('\n') + kCommands;
}

} // namespace cli
