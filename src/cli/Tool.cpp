#include "Tool.h"

#include "core/configure/ConfigRows.h"
#include "core/levelprobe/LevelSensors.h"
#include "core/platform/SysData.h"
#include "core/report/ConfigReport.h"
#include "core/report/ReportReader.h"
#include "core/rotary/RotarySensors.h"

#include <QCoroTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>
#include <cstdio>

namespace cli {

namespace {

using configure::ConfigRow;

// A timing of the settings file: 0 stands for the default, and so does a negative one.
qint16 timing(qint16 stored, qint16 fallback) {
    return stored > 0 ? stored : fallback;
}

QCoro::Task<> sleepFor(int milliseconds) {
    QTimer timer;
    timer.setSingleShot(true);
    timer.start(milliseconds);
    co_await qCoro(timer).waitForTimeout();
}

} // namespace

Tool::Tool(const Options& options)
    : options_(options), port_(ports_),
      link_(port_, platform::timerPause(), platform::systemClock()),
      logger_(link_, platform::systemClock()) {
    for (const auto& [number, path] : options_.bindings)
        ports_.bind(number, path);
    sensors_.emplace(link_, logger_, options_.rotary,
                     [this](const QString&, const QString& text) { notices_ << text; });
}

Tool::~Tool() {
    sensors_.reset();
    port_.close();
}

void Tool::out(const QString& text) const {
    std::fputs(text.toUtf8().append('\n').constData(), stdout);
    std::fflush(stdout);
}

void Tool::out(const QJsonValue& json) const {
    const QByteArray bytes = json.isObject()
                                 ? QJsonDocument(json.toObject()).toJson(QJsonDocument::Compact)
                                 : QJsonDocument(json.toArray()).toJson(QJsonDocument::Compact);
    std::fputs(bytes.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int Tool::fail(const QString& message, int status) const {
    std::fprintf(stderr, "sdi12: %s\n", message.toUtf8().constData());
    return status;
}

std::optional<int> Tool::address(const QString& text) const {
    if (text.size() == 1 && text.at(0).isDigit())
        return text.at(0).digitValue();
    return std::nullopt;
}

bool Tool::openPort() {
    const platform::SysData settings;
    const platform::SysData::Record stored = settings.read();
    int n = stored.port >= 1 && stored.port <= platform::PortMap::kPorts ? stored.port : 1;
    static const QRegularExpression comNumber(QStringLiteral("^(?:COM)?(\\d{1,2})$"),
                                              QRegularExpression::CaseInsensitiveOption);
    if (!options_.port.isEmpty()) {
        const QRegularExpressionMatch m = comNumber.match(options_.port);
        if (m.hasMatch()) {
            n = m.captured(1).toInt();
            if (n < 1 || n > platform::PortMap::kPorts) {
                fail(QStringLiteral("--port takes COM1 to COM16 or a device path, not \"%1\".")
                         .arg(options_.port),
                     2);
                return false;
            }
        } else {
            // A device path: reached under the number it has, or under a free one.
            n = ports_.portNumberOf(options_.port);
            for (int free = platform::PortMap::kPorts; n == 0 && free >= 1; --free)
                if (!QFileInfo::exists(ports_.path(free)))
                    n = free;
            if (n == 0)
                n = platform::PortMap::kPorts;
            ports_.bind(n, options_.port);
        }
    }
    const QString device = ports_.path(n);
    const QString plugged = platform::PortMap().displayNames().names.join(QStringLiteral(", "));
    const QString devices = plugged.isEmpty() ? QStringLiteral("no serial device is plugged in")
                                              : QStringLiteral("plugged devices: %1").arg(plugged);
    if (device.isEmpty() || !QFileInfo::exists(device)) {
        fail(device.isEmpty()
                 ? QStringLiteral("COM%1 has no device; %2. Name one with --port PATH or "
                                  "--com %1=PATH.")
                       .arg(n)
                       .arg(devices)
                 : QStringLiteral("COM%1 is bound to %2, which does not exist; %3.")
                       .arg(n)
                       .arg(device, devices),
             2);
        return false;
    }
    if (!port_.open(n)) {
        fail(QStringLiteral("%1 cannot be opened: %2").arg(device, port_.errorString()), 2);
        return false;
    }
    sdilink::Link::Timings t;
    t.BreakTiming = timing(stored.breakTime, 20);
    t.MarkTiming = timing(stored.markTime, 15);
    t.DataTimeout = timing(stored.dataTimeout, 200);
    t.CommandTimeout = timing(stored.commandTimeout, 400);
    link_.setTimings(t);
    return true;
}

QCoro::Task<int> Tool::run() {
    const QString& c = options_.command;
    if (c == QLatin1String("ports"))
        co_return ports();
    std::optional<int> p;
    if (c != QLatin1String("scan") && c != QLatin1String("send")) {
        p = address(options_.arguments.value(0));
        if (!p)
            co_return fail(QStringLiteral("ADDRESS is one digit, 0 to 9, not \"%1\".")
                               .arg(options_.arguments.value(0)),
                           2);
    }
    if (!openPort())
        co_return 2;
    int status = 2;
    if (c == QLatin1String("scan"))
        status = co_await scan();
    else if (c == QLatin1String("show"))
        status = co_await show(*p);
    else if (c == QLatin1String("get"))
        status = co_await get(*p, options_.arguments.at(1));
    else if (c == QLatin1String("set"))
        status = co_await set(*p, options_.arguments.at(1), options_.arguments.at(2));
    else if (c == QLatin1String("measure"))
        status = co_await measure(*p);
    else if (c == QLatin1String("send"))
        status = co_await send(options_.arguments.at(0));
    co_return status;
}

int Tool::ports() {
    QJsonArray bound;
    for (int n = 1; n <= platform::PortMap::kPorts; ++n) {
        const QString path = ports_.path(n);
        if (path.isEmpty())
            continue;
        const bool present = QFileInfo::exists(path);
        if (options_.json)
            bound.append(QJsonObject{{QStringLiteral("com"), n},
                                     {QStringLiteral("path"), path},
                                     {QStringLiteral("present"), present}});
        else if (present)
            out(QStringLiteral("COM%1  %2").arg(n, -2).arg(path));
    }
    const platform::PortMap::DeviceNames names = ports_.displayNames();
    if (options_.json) {
        out(QJsonObject{{QStringLiteral("ports"), bound},
                        {QStringLiteral("devices"), QJsonArray::fromStringList(names.names)}});
    } else if (bound.isEmpty() && names.names.isEmpty()) {
        out(QStringLiteral("No serial device is plugged in."));
    }
    return 0;
}

const levelprobe::LevelRecord& Tool::levelRecord(int p) const {
    return static_cast<const levelprobe::LevelSensors&>(sensors_->family()).record(p);
}

const rotary::RotaryRecord& Tool::rotaryRecord(int p) const {
    return static_cast<const rotary::RotarySensors&>(sensors_->family()).record(p);
}

report::ConfigReport Tool::configReport(int p) const {
    if (sensors_->rotary())
        return report::rotaryReport(rotaryRecord(p), p);
    return report::levelReport(levelRecord(p), p);
}

QString Tool::absence(int p, bool stopped) const {
    if (stopped)
        return QStringLiteral("the port stopped answering: %1").arg(port_.errorString());
    return QStringLiteral("no sensor answers at address %1.").arg(p);
}

QString Tool::familyName() const {
    return sensors_->rotary() ? QStringLiteral("encoders") : QStringLiteral("level probes");
}

QString Tool::reading(int p) const {
    if (sensors_->rotary()) {
        const rotary::RotaryRecord& r = rotaryRecord(p);
        return (r.currentValue + QLatin1Char(' ') + r.unitsText()).trimmed();
    }
    const levelprobe::LevelRecord& r = levelRecord(p);
    if (r.pressure.isEmpty())
        return {};
    return QStringLiteral("%1 %2, %3 %4")
        .arg(r.pressure, r.pressureUnitText(), r.temperature, r.temperatureUnitText());
}

QJsonValue Tool::readingJson(int p) const {
    if (sensors_->rotary()) {
        const rotary::RotaryRecord& r = rotaryRecord(p);
        return QJsonObject{{QStringLiteral("value"), r.currentValue},
                           {QStringLiteral("unit"), r.unitsText()}};
    }
    const levelprobe::LevelRecord& r = levelRecord(p);
    return QJsonObject{{QStringLiteral("pressure"), r.pressure},
                       {QStringLiteral("pressureUnit"), r.pressureUnitText()},
                       {QStringLiteral("temperature"), r.temperature},
                       {QStringLiteral("temperatureUnit"), r.temperatureUnitText()}};
}

QCoro::Task<int> Tool::scan() {
    const discovery::BusScan::Result result = co_await sensors_->scan().run();
    if (result.stopped)
        co_return fail(QStringLiteral("the scan stopped: %1").arg(port_.errorString()), 2);
    QJsonArray found;
    QStringList rows;
    for (int p = 0; p <= 9; ++p) {
        if (!sensors_->family().present(p))
            continue;
        const report::ReadReport read = report::readReport(report::fileText(configReport(p).lines));
        found.append(QJsonObject{
            {QStringLiteral("address"), p},
            {QStringLiteral("serialNumber"), read.serialNumber},
            {QStringLiteral("identification"), QJsonArray::fromStringList(read.identification)},
            {QStringLiteral("reading"), readingJson(p)}});
        rows << QStringLiteral("%1        %2 %3  %4")
                    .arg(p)
                    .arg(read.serialNumber, -12)
                    .arg(identificationText(read.identification), -30)
                    .arg(reading(p));
    }
    if (options_.json) {
        out(QJsonObject{{QStringLiteral("sensors"), found}});
    } else if (!rows.isEmpty()) {
        out(QStringLiteral("Address  %1 %2  Reading")
                .arg(QStringLiteral("Serial"), -12)
                .arg(QStringLiteral("Identification"), -30));
        for (const QString& row : rows)
            out(row);
    }
    if (found.isEmpty())
        co_return fail(QStringLiteral("no sensor answered at addresses 0 to 9."), 1);
    co_return 0;
}

QString Tool::identificationText(const QStringList& lines) {
    // "Company Name = CORVANE" and the like: the values, without the version of SDI-12.
    QStringList values;
    for (const QString& line : lines.mid(1)) {
        const qsizetype at = line.indexOf(QLatin1String(" = "));
        values << (at < 0 ? line : line.mid(at + 3)).trimmed();
    }
    return values.join(QLatin1Char(' ')).simplified();
}

QCoro::Task<discovery::BusScan::Result> Tool::scanAt(int p) {
    return sensors_->scan().run(QList<int>{p});
}

QCoro::Task<bool> Tool::readSensor(int p) {
    const discovery::BusScan::Result result = co_await scanAt(p);
    if (result.firstFound == p)
        co_return true;
    fail(absence(p, result.stopped), 1);
    co_return false;
}

QCoro::Task<int> Tool::show(int p) {
    const bool found = co_await readSensor(p);
    if (!found)
        co_return 1;
    const report::ConfigReport report = configReport(p);
    if (!options_.json) {
        const QByteArray bytes = report::fileText(report.lines);
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
        std::fflush(stdout);
        co_return 0;
    }
    const report::ReadReport read = report::readReport(report::fileText(report.lines));
    QJsonObject settings;
    for (const report::ReportSetting& s : read.settings)
        settings.insert(s.label, s.value);
    out(QJsonObject{
        {QStringLiteral("address"), p},
        {QStringLiteral("serialNumber"), read.serialNumber},
        {QStringLiteral("identification"), QJsonArray::fromStringList(read.identification)},
        {QStringLiteral("settings"), settings}});
    co_return 0;
}

QCoro::Task<int> Tool::get(int p, QString name) {
    session::Session& session = sensors_->session();
    const QString label = session.labelFor(name);
    if (label.isEmpty() || !session.settings().applyOrder().contains(label))
        co_return fail(QStringLiteral("\"%1\" is not a setting of the %2 that can be read.")
                           .arg(name, familyName()),
                       2);
    const bool answered = co_await session.read(p, label);
    if (!answered)
        co_return fail(
            QStringLiteral("sensor %1 did not answer %2.").arg(p).arg(link_.strSent_Command()), 1);
    const QString value = session.value(p, label);
    if (options_.json)
        out(QJsonObject{{QStringLiteral("address"), p},
                        {QStringLiteral("setting"), label},
                        {QStringLiteral("value"), value}});
    else
        out(value);
    co_return 0;
}

QCoro::Task<int> Tool::set(int p, QString name, QString value) {
    session::Session& session = sensors_->session();
    const QString label = session.labelFor(name);
    if (label.isEmpty())
        co_return fail(QStringLiteral("\"%1\" is not a setting of the %2.").arg(name, familyName()),
                       2);
    // The page's checks need what the sensor has now (its unit, whether it is unlocked).
    const bool found = co_await readSensor(p);
    if (!found)
        co_return 1;
    const ConfigRow row = co_await session.apply(p, label, value);
    QString text;
    switch (row.outcome) {
    case ConfigRow::Outcome::Applied:
        text = QStringLiteral("applied");
        break;
    case ConfigRow::Outcome::NotApplicable:
        text = QStringLiteral("refused, nothing sent: %1").arg(row.reason);
        break;
    default:
        text = configure::outcomeText(row);
    }
    if (options_.json)
        out(QJsonObject{{QStringLiteral("address"), p},
                        {QStringLiteral("setting"), label},
                        {QStringLiteral("value"), value},
                        {QStringLiteral("now"), row.now},
                        {QStringLiteral("outcome"), text}});
    else
        out(QStringLiteral("%1 = %2: %3").arg(label, value, text));
    co_return row.outcome == ConfigRow::Outcome::Applied ? 0 : 1;
}

QStringList Tool::unitSettings() const {
    if (sensors_->rotary())
        return {QStringLiteral("Measurement Units")};
    return {QStringLiteral("Pressure Units"), QStringLiteral("Temperature Units")};
}

QCoro::Task<int> Tool::measure(int p) {
    // The units first: a reading is shown with them.
    for (const QString& label : unitSettings()) {
        const bool answered = co_await sensors_->session().read(p, label);
        if (!answered)
            co_return fail(
                QStringLiteral("sensor %1 did not answer %2.").arg(p).arg(link_.strSent_Command()),
                1);
    }
    for (int i = 0; i < options_.count; ++i) {
        if (i > 0 && options_.every > 0)
            co_await sleepFor(static_cast<int>(options_.every * 1000));
        const bool answered = co_await sensors_->session().measure(p);
        if (!answered)
            co_return fail(
                QStringLiteral("sensor %1 did not answer %2.").arg(p).arg(link_.strSent_Command()),
                1);
        if (options_.json) {
            QJsonObject line = readingJson(p).toObject();
            line.insert(QStringLiteral("address"), p);
            line.insert(QStringLiteral("time"),
                        platform::systemClock()().toString(Qt::ISODateWithMs));
            out(line);
        } else {
            out(reading(p));
        }
    }
    co_return 0;
}

QCoro::Task<int> Tool::send(QString request) {
    for (const QChar c : request)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            co_return fail(QStringLiteral("only plain ASCII characters can be sent; nothing "
                                          "was sent."),
                           2);
    QString reply;
    sensors_->decoder().setUserCommandSink([&reply](const QString& line) { reply = line; });
    sdilink::Transaction typed;
    typed.request = request.toLatin1();
    typed.code = link_.CommandMode();
    typed.answer = sdilink::Transaction::Answer::AnyLine;
    typed.sendingMs = sdilink::Transaction::sendingTimeMs(typed.request.size());
    typed.typed = true;
    const bool answered = co_await link_.transact([&] { link_.transmit(typed); });
    if (options_.json)
        out(QJsonObject{{QStringLiteral("request"), request},
                        {QStringLiteral("reply"), reply.trimmed()},
                        {QStringLiteral("answered"), answered}});
    else if (answered)
        out(reply.trimmed());
    if (!answered)
        co_return fail(QStringLiteral("no answer to %1.").arg(request), 1);
    co_return 0;
}

} // namespace cli
