#include "Tool.h"

#include "core/configure/ConfigRows.h"
#include "core/export/LogSheet.h"
#include "core/export/SafeSave.h"
#include "core/export/SheetWriter.h"
#include "core/levelprobe/LevelSensors.h"
#include "core/logging/JournalDisk.h"
#include "core/logging/JournalFolder.h"
#include "core/logging/LogJournals.h"
#include "core/logging/LogModel.h"
#include "core/platform/SignalWatcher.h"
#include "core/platform/SysData.h"
#include "core/report/ConfigReport.h"
#include "core/report/ReportReader.h"
#include "core/rotary/RotarySensors.h"

#include <QCoroSignal>
#include <QCoroTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>
#include <climits>
#include <cstdio>
#include <unistd.h>

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
    if (device.isEmpty() || !QFileInfo::exists(device)) {
        // The machine's devices are listed only for the message.
        const QString plugged = platform::PortMap().displayNames().names.join(QStringLiteral(", "));
        const QString devices = plugged.isEmpty()
                                    ? QStringLiteral("no serial device is plugged in")
                                    : QStringLiteral("plugged devices: %1").arg(plugged);
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
    const sdilink::Link::Timings defaults;
    sdilink::Link::Timings t;
    t.BreakTiming = timing(stored.breakTime, defaults.BreakTiming);
    t.MarkTiming = timing(stored.markTime, defaults.MarkTiming);
    t.DataTimeout = timing(stored.dataTimeout, defaults.DataTimeout);
    t.CommandTimeout = timing(stored.commandTimeout, static_cast<qint16>(defaults.CommandTimeout));
    link_.setTimings(t);
    return true;
}

QCoro::Task<int> Tool::run() {
    const QString& c = options_.command;
    if (c == QLatin1String("ports"))
        co_return ports();
    std::optional<int> p;
    if (c != QLatin1String("scan") && c != QLatin1String("send") && c != QLatin1String("apply")) {
        p = address(options_.arguments.value(0));
        if (!p)
            co_return fail(QStringLiteral("ADDRESS is one digit, 0 to 9, not \"%1\".")
                               .arg(options_.arguments.value(0)),
                           2);
    }
    if (c == QLatin1String("address") && !address(options_.arguments.value(1)))
        co_return fail(QStringLiteral("NEW is one digit, 0 to 9, not \"%1\".")
                           .arg(options_.arguments.value(1)),
                       2);
    if (c == QLatin1String("log") && !options_.output.isEmpty() && !outputFormat())
        co_return fail(QStringLiteral("--output names a .csv, .xlsx or .xls file, not \"%1\".")
                           .arg(options_.output),
                       2);
    if (c == QLatin1String("apply")) {
        for (const QString& a : options_.arguments.mid(1)) {
            const std::optional<int> at = address(a);
            if (!at)
                co_return fail(QStringLiteral("ADDRESS is one digit, 0 to 9, not \"%1\".").arg(a),
                               2);
            addresses_ << *at;
        }
        report_ = readReportFile(options_.arguments.at(0));
        if (!report_)
            co_return 2;
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
    else if (c == QLatin1String("apply"))
        status = co_await apply(QFileInfo(options_.arguments.at(0)).fileName(), addresses_);
    else if (c == QLatin1String("compare"))
        status = co_await compare(*p, options_.arguments.at(1));
    else if (c == QLatin1String("log"))
        status = co_await log(*p);
    else if (c == QLatin1String("address"))
        status = co_await address(*p, *address(options_.arguments.at(1)));
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

void Tool::progress(const QString& text) const {
    // Only for a person watching: a script's stderr stays clean.
    if (::isatty(STDERR_FILENO) != 0)
        std::fprintf(stderr, "\r%-60s\r", text.toUtf8().constData());
}

QCoro::Task<int> Tool::scan() {
    const QMetaObject::Connection shown = QObject::connect(
        &sensors_->scan(), &discovery::BusScan::probing, &sensors_->scan(),
        [this](int i) { progress(QStringLiteral("Scanning address %1...").arg(i)); });
    const discovery::BusScan::Result result = co_await sensors_->scan().run();
    QObject::disconnect(shown);
    progress({});
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

QCoro::Task<bool> Tool::readUnits(int p) {
    // A reading is shown with its units.
    for (const QString& label : unitSettings()) {
        const bool answered = co_await sensors_->session().read(p, label);
        if (!answered) {
            fail(QStringLiteral("sensor %1 did not answer %2.").arg(p).arg(link_.strSent_Command()),
                 1);
            co_return false;
        }
    }
    co_return true;
}

QCoro::Task<int> Tool::measure(int p) {
    const bool units = co_await readUnits(p);
    if (!units)
        co_return 1;
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

std::optional<report::ReadReport> Tool::readReportFile(const QString& path) const {
    const report::ReadReport read = report::readReportFile(path);
    if (!read.ok) {
        fail(read.error, 2);
        return std::nullopt;
    }
    if (read.rotary != options_.rotary) {
        fail(QStringLiteral("%1 is a report of %2; use --family %3.")
                 .arg(path,
                      read.rotary ? QStringLiteral("rotary encoders")
                                  : QStringLiteral("level probes"),
                      read.rotary ? QStringLiteral("encoder") : QStringLiteral("level")),
             2);
        return std::nullopt;
    }
    return read;
}

std::vector<ConfigRow> Tool::rowsBeside(int p, const report::ReadReport& other) {
    configure::SettingsAccess& settings = sensors_->session().settings();
    std::vector<ConfigRow> rows = configure::compareReports(settings.current(p), other);
    for (ConfigRow& row : rows) {
        settings.plan(p, row);
        row.ticked = row.applicable() && row.differs();
        // A value the sensor cannot take now (a locked range) is said, not sent.
        if (row.kind == ConfigRow::Kind::Setting && !row.reason.isEmpty() && !row.other.isEmpty() &&
            row.differs())
            row.outcome = ConfigRow::Outcome::NotApplicable;
    }
    return rows;
}

QJsonObject Tool::rowJson(const ConfigRow& row) const {
    return QJsonObject{{QStringLiteral("setting"), row.label},
                       {QStringLiteral("sensor"), row.now},
                       {QStringLiteral("other"), row.other},
                       {QStringLiteral("outcome"), configure::outcomeText(row)}};
}

QCoro::Task<int> Tool::apply(QString name, QList<int> addresses) {
    const report::ReadReport& file = *report_;
    int status = 0;
    QJsonArray sensors;
    // Ctrl-C or SIGTERM ends the apply after the exchange under way; what was not sent is
    // listed as such.
    bool stopped = false;
    platform::SignalWatcher watcher;
    QObject::connect(&watcher, &platform::SignalWatcher::terminationRequested, &watcher,
                     [&stopped] { stopped = true; });
    const configure::StopReason stop = [&stopped]() -> QString {
        return stopped ? QStringLiteral("stopped") : QString();
    };
    for (const int p : addresses) {
        if (stopped) {
            status = fail(QStringLiteral("sensor %1: nothing applied, stopped.").arg(p), 1);
            continue;
        }
        progress(QStringLiteral("Applying %1 to sensor %2...").arg(name).arg(p));
        const bool found = co_await readSensor(p);
        if (!found) {
            status = 1;
            continue;
        }
        std::vector<ConfigRow> rows = rowsBeside(p, file);
        co_await sensors_->session().applyAll(p, rows, stop);
        // A value that could not be sent may be the sensor's now all the same (the range
        // read again in the file's unit after the unit was applied).
        const report::ReadReport now = sensors_->session().settings().current(p);
        for (ConfigRow& row : rows)
            if (row.outcome == ConfigRow::Outcome::NotApplicable &&
                configure::sameValue(report::settingValue(now, row.label), row.other)) {
                row.now = report::settingValue(now, row.label);
                row.outcome = ConfigRow::Outcome::None;
            }
        QJsonArray json;
        for (const ConfigRow& row : rows) {
            if (row.kind != ConfigRow::Kind::Setting)
                continue;
            const bool ok = row.outcome == ConfigRow::Outcome::Applied ||
                            (row.outcome == ConfigRow::Outcome::None && !row.differs());
            if (!ok)
                status = 1;
            json.append(rowJson(row));
            if (!options_.json)
                out(QStringLiteral("Sensor %1: %2 = %3: %4")
                        .arg(p)
                        .arg(row.label, row.other,
                             row.outcome == ConfigRow::Outcome::None
                                 ? QStringLiteral("the same")
                                 : configure::outcomeText(row)));
        }
        sensors.append(QJsonObject{{QStringLiteral("address"), p},
                                   {QStringLiteral("summary"), configure::summary(rows)},
                                   {QStringLiteral("rows"), json}});
        if (!options_.json)
            out(QStringLiteral("Sensor %1: %2").arg(p).arg(configure::summary(rows)));
    }
    if (options_.json)
        out(QJsonObject{{QStringLiteral("sensors"), sensors}});
    co_return status;
}

QCoro::Task<int> Tool::compare(int p, QString otherName) {
    std::optional<report::ReadReport> other;
    const std::optional<int> q = address(otherName);
    if (!q) {
        other = readReportFile(otherName);
        if (!other)
            co_return 2;
    }
    const bool found = co_await readSensor(p);
    if (!found)
        co_return 1;
    if (q) {
        const bool otherFound = co_await readSensor(*q);
        if (!otherFound)
            co_return 1;
        other = sensors_->session().settings().current(*q);
    }
    const std::vector<ConfigRow> rows =
        configure::compareReports(sensors_->session().settings().current(p), *other);
    int status = 0;
    QJsonArray json;
    for (const ConfigRow& row : rows) {
        // The identification, serial number and address are shown, never counted.
        const bool differs = row.kind != ConfigRow::Kind::Identity && row.differs();
        if (differs)
            status = 1;
        QJsonObject line = rowJson(row);
        line.remove(QStringLiteral("outcome"));
        line.insert(QStringLiteral("differs"), differs);
        json.append(line);
        if (!options_.json)
            out(QStringLiteral("%1%2 | %3 | %4")
                    .arg(differs ? QStringLiteral("* ") : QStringLiteral("  "))
                    .arg(row.label, -28)
                    .arg(row.now, -16)
                    .arg(row.other));
    }
    if (options_.json)
        out(QJsonObject{{QStringLiteral("address"), p},
                        {QStringLiteral("other"), otherName},
                        {QStringLiteral("rows"), json}});
    co_return status;
}

QCoro::Task<int> Tool::address(int p, int b) {
    const bool found = co_await readSensor(p);
    if (!found)
        co_return 1;
    const discovery::AddressMove moved = co_await sensors_->session().changeAddress(p, b);
    switch (moved) {
    case discovery::AddressMove::Moved:
        out(QStringLiteral("Sensor %1 is now at address %2.").arg(p).arg(b));
        co_return 0;
    case discovery::AddressMove::AlreadyThere:
        out(QStringLiteral("Sensor %1 is at address %1 already.").arg(p));
        co_return 0;
    case discovery::AddressMove::InUse:
        co_return fail(QStringLiteral("address %1 is in use: a sensor answers there.").arg(b), 1);
    case discovery::AddressMove::NotConfirmed:
        co_return fail(QStringLiteral("sensor %1 did not confirm the change to address %2: it "
                                      "may answer at either address; scan again.")
                           .arg(p)
                           .arg(b),
                       1);
    case discovery::AddressMove::Unchanged:
        break;
    }
    co_return fail(QStringLiteral("the address of sensor %1 was not changed.").arg(p), 1);
}

std::optional<logexport::Format> Tool::outputFormat() const {
    const QString suffix = QFileInfo(options_.output).suffix().toLower();
    if (suffix == QLatin1String("csv"))
        return logexport::Format::Csv;
    if (suffix == QLatin1String("xlsx"))
        return logexport::Format::Xlsx;
    if (suffix == QLatin1String("xls"))
        return logexport::Format::Xls;
    return std::nullopt;
}

QCoro::Task<int> Tool::log(int p) {
    const bool units = co_await readUnits(p);
    if (!units)
        co_return 1;
    logging::Logger& logger = logger_;
    logging::LogModel& rows = logger.log(p);
    int status = 0;
    {
        // Every log goes to the journal folder as in the window; its journal ends finished.
        logging::JournalThread thread;
        logging::LogJournals journals(
            thread.disk(), logging::defaultJournalFolder(), platform::systemClock(),
            [this](int tab) {
                return logging::LogJournals::Sensor{
                    sensors_->rotary(), sensors_->family().serialNumber(tab), port_.deviceName()};
            });
        logger.setListener(&journals);
        journals.watch(link_, logger);

        // What ends the log: the count reached, the time up, Ctrl-C or SIGTERM, the port
        // lost. The first reason stays.
        Stop stop;
        QObject::connect(&rows, &QAbstractItemModel::rowsInserted, &stop, [&, p] {
            QJsonObject line = readingJson(p).toObject();
            line.insert(QStringLiteral("address"), p);
            const logexport::LogSheet newest(rows);
            line.insert(QStringLiteral("time"),
                        QDateTime(newest.date(0), newest.time(0)).toString(Qt::ISODate));
            if (options_.json)
                out(line);
            else
                out(QStringLiteral("%1 %2  %3").arg(rows.text(0, 0), rows.text(0, 1), reading(p)));
            if (options_.countGiven && rows.rowCount() >= options_.count)
                stop.end(QStringLiteral("done"));
        });
        platform::SignalWatcher watcher;
        QObject::connect(&watcher, &platform::SignalWatcher::terminationRequested, &stop,
                         [&stop] { stop.end(QStringLiteral("stopped")); });
        QObject::connect(&link_, &sdilink::Link::portLost, &stop,
                         [&stop] { stop.end(QStringLiteral("the port was lost")); });
        QTimer ticks;
        QObject::connect(&ticks, &QTimer::timeout, &stop,
                         [&logger] { logger.SecondTimer_Timer(); });
        ticks.start(1000);
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &stop,
                         [&stop] { stop.end(QStringLiteral("done")); });
        if (options_.forSeconds > 0)
            limit.start(static_cast<int>(std::min<qint64>(options_.forSeconds * 1000, INT_MAX)));

        logger.setPeriod(p, static_cast<int>(options_.every));
        logger.StartLogBut_Click(p);
        const QString why = co_await qCoro(&stop, &Stop::ended);
        ticks.stop();
        logger.StopLogBut_Click(p);
        if (journals.missed(p) > 0) {
            status = fail(QStringLiteral("%1 reading(s) of sensor %2 did not come.")
                              .arg(journals.missed(p))
                              .arg(p),
                          1);
        }
        if (why == QLatin1String("the port was lost"))
            status = fail(QStringLiteral("the log ended: %1.").arg(why), 2);
        logger.setListener(nullptr);
    }
    if (!options_.output.isEmpty()) {
        const logexport::LogSheet sheet(rows);
        const std::unique_ptr<logexport::SheetWriter> writer =
            logexport::makeWriter(*outputFormat());
        const logexport::WriteResult written =
            logexport::saveReplacing(*writer, sheet, options_.output, {});
        if (written.status != logexport::WriteResult::Status::Written)
            co_return fail(
                QStringLiteral("%1 was not written: %2").arg(options_.output, written.error), 2);
    }
    co_return status;
}

} // namespace cli
