#include "SettingsAccess.h"

#include "core/link/Link.h"
#include "core/protocol/Settings.h"

#include <utility>
#include <vector>

namespace configure {

const TableSettings::Entry* TableSettings::entry(const QString& label) const {
    for (const Entry& e : entries_)
        if (e.label == label)
            return &e;
    return nullptr;
}

void TableSettings::plan(int p, ConfigRow& row) const {
    if (row.kind == ConfigRow::Kind::Identity)
        return;
    const Entry* e = entry(row.label);
    if (e == nullptr) {
        row.kind = ConfigRow::Kind::Fixed;
        row.reason = QStringLiteral("Not a setting the tool applies.");
        return;
    }
    row.kind = e->kind;
    row.reason = e->kind == ConfigRow::Kind::Fixed ? e->fixedReason
                 : e->check                        ? e->check(p, row.other)
                                                   : QString();
}

QStringList TableSettings::applyOrder() const {
    QStringList order;
    for (const Entry& e : entries_)
        if (e.kind == ConfigRow::Kind::Setting)
            order << e.label;
    return order;
}

QString TableSettings::labelFor(QStringView name) const {
    for (const Entry& e : entries_)
        if (protocol::sameSettingName(e.label, name))
            return e.label;
    return {};
}

QCoro::Task<bool> TableSettings::set(int p, QString label, QString value) {
    const Entry* e = entry(label);
    if (e == nullptr || !e->set)
        co_return false;
    co_return co_await link_.transact([&] { e->set(p, value); });
}

QCoro::Task<bool> TableSettings::query(int p, QString label) {
    const Entry* e = entry(label);
    if (e == nullptr || !e->query)
        co_return false;
    co_return co_await link_.transact([&] { e->query(p); });
}

QString TableSettings::lastRequest() const {
    return link_.strSent_Command();
}

QCoro::Task<> applyRows(SettingsAccess& access, int p, std::vector<ConfigRow>& rows,
                        bool withPageSettings, StopReason stop) {
    const auto rowOf = [&rows](const QString& label) -> ConfigRow* {
        for (ConfigRow& row : rows)
            if (row.label == label)
                return &row;
        return nullptr;
    };
    const auto fail = [&access](ConfigRow& row) {
        row.outcome = ConfigRow::Outcome::Failed;
        row.detail = QStringLiteral("no answer to %1").arg(access.lastRequest());
    };
    const auto notSent = [](ConfigRow& row, const QString& why) {
        row.outcome = ConfigRow::Outcome::NotSent;
        row.detail = why;
    };
    // The rows sent, with the value the sensor answered to its set.
    std::vector<std::pair<ConfigRow*, QString>> sent;
    for (const QString& label : access.applyOrder()) {
        ConfigRow* row = rowOf(label);
        if (row == nullptr || !row->ticked || !row->applicable())
            continue;
        if (const QString why = stop(); !why.isEmpty()) {
            notSent(*row, why);
            continue;
        }
        const bool answered = co_await access.set(p, label, row->other);
        const QString confirmed = report::settingValue(access.current(p), label);
        // Ended meanwhile (the program closing), a set counts by whether its answer came.
        if (answered || (!stop().isEmpty() && access.answered(p, label)))
            sent.emplace_back(row, confirmed);
        else
            fail(*row);
    }
    // Each value is read back once every set has gone: a unit change may change the others.
    // What cannot be read back any more (stopped, the port gone) is judged by its set's answer.
    std::vector<bool> readBack(sent.size(), false);
    for (size_t i = 0; i < sent.size() && stop().isEmpty(); ++i) {
        readBack[i] = co_await access.query(p, sent[i].first->label);
        if (!readBack[i] && stop().isEmpty())
            fail(*sent[i].first);
    }
    const report::ReadReport after = access.current(p);
    for (size_t i = 0; i < sent.size(); ++i) {
        ConfigRow* row = sent[i].first;
        if (row->outcome == ConfigRow::Outcome::Failed)
            continue;
        row->now = readBack[i] ? report::settingValue(after, row->label) : sent[i].second;
        const bool same = sameValue(row->now, row->other);
        row->outcome = same ? ConfigRow::Outcome::Applied : ConfigRow::Outcome::Different;
        row->detail = same ? QString() : QStringLiteral("the sensor has \"%1\"").arg(row->now);
    }
    for (ConfigRow& row : rows) {
        if (row.kind != ConfigRow::Kind::PageSetting || !row.ticked || !withPageSettings)
            continue;
        if (const QString why = stop(); !why.isEmpty()) {
            notSent(row, why);
            continue;
        }
        if (access.setPageSetting(p, row.label, row.other)) {
            row.now = row.other;
            row.outcome = ConfigRow::Outcome::Applied;
        } else {
            row.outcome = ConfigRow::Outcome::NotApplicable;
            row.reason = QStringLiteral("\"%1\" is not a period the page offers.").arg(row.other);
        }
    }
}

} // namespace configure
