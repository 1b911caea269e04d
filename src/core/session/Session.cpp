#include "Session.h"

#include "core/link/Link.h"
#include "core/logging/Logger.h"
#include "core/platform/SerialPort.h"
#include "core/protocol/Family.h"
#include "core/report/ReportReader.h"

#include <optional>
#include <vector>

namespace session {

using configure::ConfigRow;
using sdilink::Link;

Session::Session(Link& link, protocol::Family& family, configure::SettingsAccess& settings,
                 logging::Logger& logger)
    : link_(link), family_(family), settings_(settings), logger_(logger) {}

QString Session::refusal(int p, const QString& label, const QString& value) const {
    if (label.isEmpty())
        return QStringLiteral("No setting has that name.");
    ConfigRow row;
    row.label = label;
    row.kind = ConfigRow::Kind::Setting;
    row.other = value;
    settings_.plan(p, row);
    if (row.kind == ConfigRow::Kind::Fixed || row.kind == ConfigRow::Kind::Identity)
        return row.reason.isEmpty()
                   ? QStringLiteral("%1 is not a setting that can be set.").arg(label)
                   : row.reason;
    if (!row.reason.isEmpty())
        return row.reason;
    return settings_.refusal(p);
}

QString Session::endedReason() const {
    if (link_.replyStatus() == Link::Abandoned)
        return QStringLiteral("stopped");
    if (!link_.port().isOpen())
        return QStringLiteral("the port is closed");
    return {};
}

QString Session::notSentReason() const {
    const QString ended = endedReason();
    return ended.isEmpty() ? QStringLiteral("the bus is busy") : ended;
}

QCoro::Task<SetResult> Session::set(int p, QString name, QString value) {
    const QString label = labelFor(name);
    if (const QString why = refusal(p, label, value); !why.isEmpty())
        co_return SetResult{SetResult::Outcome::Refused, why};
    if (!settings_.applyOrder().contains(label)) {
        // The tool's own setting for the sensor (the logging period): no request goes.
        if (settings_.setPageSetting(p, label, value))
            co_return SetResult{SetResult::Outcome::Applied, {}};
        co_return SetResult{SetResult::Outcome::Refused,
                            QStringLiteral("\"%1\" is not offered for %2.").arg(value, label)};
    }
    if (!co_await link_.turn(QStringLiteral("set %1 %2").arg(p).arg(label), p))
        co_return SetResult{SetResult::Outcome::NotSent, notSentReason()};
    const Link::Sequence sequence(link_);
    const bool answered = co_await settings_.set(p, label, value);
    if (answered)
        co_return SetResult{SetResult::Outcome::Applied, {}};
    if (link_.replyStatus() == Link::TimedOut || link_.replyStatus() == Link::Lost)
        co_return SetResult{SetResult::Outcome::NoAnswer, settings_.lastRequest()};
    co_return SetResult{SetResult::Outcome::NotSent, notSentReason()};
}

QCoro::Task<bool> Session::read(int p, QString name) {
    const QString label = labelFor(name);
    if (!settings_.applyOrder().contains(label))
        co_return false;
    if (!co_await link_.turn(QStringLiteral("read %1 %2").arg(p).arg(label), p))
        co_return false;
    const Link::Sequence sequence(link_);
    co_return co_await settings_.query(p, label);
}

QCoro::Task<bool> Session::readAll(int p) {
    if (!co_await link_.turn(QStringLiteral("read %1").arg(p), p))
        co_return false;
    const Link::Sequence sequence(link_);
    bool all = true;
    for (const QString& label : settings_.applyOrder()) {
        const bool answered = co_await settings_.query(p, label);
        all = all && answered;
        if (!answered && link_.replyStatus() != Link::TimedOut)
            co_return false; // stopped, or the port is gone
    }
    co_return all;
}

QCoro::Task<ConfigRow> Session::apply(int p, QString name, QString value) {
    std::vector<ConfigRow> rows(1);
    ConfigRow& row = rows.front();
    row.label = labelFor(name);
    row.kind = ConfigRow::Kind::Setting;
    row.other = value;
    row.ticked = true;
    if (const QString why = refusal(p, row.label, value); !why.isEmpty()) {
        row.outcome = ConfigRow::Outcome::NotApplicable;
        row.reason = why;
        co_return row;
    }
    co_await applyAll(p, rows);
    co_return rows.front();
}

QCoro::Task<> Session::applyAll(int p, std::vector<ConfigRow>& rows, configure::StopReason stop) {
    const auto why = [this, &stop]() -> QString {
        const QString ended = endedReason();
        return !ended.isEmpty() || !stop ? ended : stop();
    };
    for (ConfigRow& row : rows)
        settings_.plan(p, row);
    if (!co_await link_.turn(QStringLiteral("apply %1").arg(p), p)) {
        const QString reason = notSentReason();
        for (ConfigRow& row : rows)
            if (row.ticked && row.applicable()) {
                row.outcome = ConfigRow::Outcome::NotSent;
                row.detail = reason;
            }
        co_return;
    }
    const Link::Sequence sequence(link_);
    co_await configure::applyRows(settings_, p, rows, true, why);
}

QCoro::Task<bool> Session::measure(int p) {
    if (!co_await link_.turn(QStringLiteral("measure %1").arg(p), p))
        co_return false;
    const Link::Sequence sequence(link_, true);
    co_return co_await link_.transact([this, p] { logger_.Measure(p); });
}

QCoro::Task<discovery::AddressMove> Session::changeAddress(int p, int b) {
    if (!family_.present(b)) {
        const bool turn = co_await link_.turn(QStringLiteral("address %1").arg(p), p);
        if (!turn)
            co_return discovery::AddressMove::Unchanged;
    }
    const discovery::AddressMove moved = co_await discovery::moveAddress(link_, family_, p, b);
    co_return moved;
}

QString Session::value(int p, const QString& name) const {
    return report::settingValue(settings_.current(p), labelFor(name));
}

} // namespace session
