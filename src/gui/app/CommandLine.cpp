#include "CommandLine.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace app {

namespace {

const QCommandLineOption kCom(QStringLiteral("com"),
                              QStringLiteral("Bind port COM N (1-16) to a device path for this "
                                             "run, for example --com 3=/dev/ttyUSB0. "
                                             "Repeatable."),
                              QStringLiteral("N=PATH"));
const QCommandLineOption kDemo(QStringLiteral("demo"),
                               QStringLiteral("Start on a simulated SDI-12 bus (level probes at "
                                              "addresses 1, 3 and 5, rotary encoders at 2 and "
                                              "4) bound to the port opened at start. The "
                                              "settings file is not written."));
const QCommandLineOption kHelp(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                               QStringLiteral("Show this help and exit."));
const QCommandLineOption kVersion(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                  QStringLiteral("Show the version and exit."));

void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Configure, calibrate and log SDI-12 level probes and rotary shaft "
                       "encoders through a serial SDI-12 interface."));
    parser.addOption(kCom);
    parser.addOption(kDemo);
    parser.addOption(kHelp);
    parser.addOption(kVersion);
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments) {
    CommandLine result;
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = QStringLiteral("Unexpected argument '%1'.")
                           .arg(parser.positionalArguments().constFirst());
        return result;
    }
    result.help = parser.isSet(kHelp);
    result.version = parser.isSet(kVersion);
    result.demo = parser.isSet(kDemo);
    static const QRegularExpression binding(QStringLiteral("^(\\d{1,2})=(.+)$"));
    for (const QString& value : parser.values(kCom)) {
        const QRegularExpressionMatch m = binding.match(value);
        const int n = m.hasMatch() ? m.captured(1).toInt() : 0;
        if (n < 1 || n > 16) {
            result.error = QStringLiteral("Invalid --com '%1': expected N=PATH with N from 1 "
                                          "to 16, for example --com 3=/dev/ttyUSB0.")
                               .arg(value);
            return result;
        }
        result.bindings.emplace_back(n, m.captured(2));
    }
    return result;
}

QString CommandLine::helpText() {
    QCommandLineParser parser;
    describe(parser);
    // Without an application object the parser does not know the program's name.
    return parser.helpText().replace(QStringLiteral("<executable_name>"),
                                     QStringLiteral("sdi12-config"));
}

} // namespace app
