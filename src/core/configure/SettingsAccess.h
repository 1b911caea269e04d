#pragma once

#include "ConfigRows.h"

#include <QCoroTask>
#include <QStringList>
#include <functional>
#include <vector>

namespace sdilink {
class Link;
}

namespace configure {

// How a family's settings are read, checked, set and read back for the configuration
// window. The sets and queries are the page's own: its controls are filled with the value
// and its button pressed, so the requests are exactly those of a click.
class SettingsAccess {
public:
    virtual ~SettingsAccess() = default;

    virtual bool rotary() const = 0;
    // Whether a sensor answered at p at the last scan.
    virtual bool present(int p) const = 0;
    // The sensor at page p as its report has it: what it answered last and the page's own
    // settings.
    virtual report::ReadReport current(int p) const = 0;
    // Why nothing may be applied to the sensor at p now; empty when it may.
    virtual QString refusal(int p) const = 0;
    // Sorts a row: setting, fixed or page setting, and why its value cannot be applied.
    virtual void plan(int p, ConfigRow& row) const = 0;
    // The setting labels in the order they are applied.
    virtual QStringList applyOrder() const = 0;
    // The label of a row (setting, fixed or page setting) a name stands for, in any letter
    // case, blanks or dashes alike; empty for none.
    virtual QString labelFor(QStringView name) const = 0;
    // Sends the setting's set request with the value and awaits its exchange; true when
    // the sensor answered.
    virtual QCoro::Task<bool> set(int p, QString label, QString value) = 0;
    // Sends the setting's query and awaits its exchange; true when answered.
    virtual QCoro::Task<bool> query(int p, QString label) = 0;
    // Whether the answer to the setting's last request has come.
    virtual bool answered(int p, const QString& label) const = 0;
    // Chooses a page setting (the logging period); false when the page does not offer it.
    virtual bool setPageSetting(int p, const QString& label, const QString& value) = 0;
    // The last request written, as the comms monitor shows it.
    virtual QString lastRequest() const = 0;
};

// Why what is not sent yet will not be sent (the apply was stopped, the port is closed),
// or empty while it may go.
using StopReason = std::function<QString()>;

// Applies the ticked settings of the rows to the sensor at p, one after another in the
// family's order, then reads each back: every row sent ends as applied, different (the
// value read back differs) or failed (no answer, naming the request). A failure does not
// stop the rest; `stop` does, before the next request: the rows not sent end "not sent"
// with its reason, and a row whose set was answered but could not be read back is judged
// by the set's answer. The page setting goes too when withPageSettings is set. The caller
// holds the bus.
QCoro::Task<> applyRows(SettingsAccess& access, int p, std::vector<ConfigRow>& rows,
                        bool withPageSettings, StopReason stop);

// A family's settings as a table of entries, in the order they are applied.
class TableSettings : public SettingsAccess {
public:
    struct Entry {
        QString label;
        ConfigRow::Kind kind = ConfigRow::Kind::Setting;
        QString fixedReason; // a fixed row's reason
        // Why the value cannot be sent now (a list without it, a number the box refuses,
        // a lock), or empty.
        std::function<QString(int p, const QString& value)> check;
        std::function<void(int p, const QString& value)> set;
        std::function<void(int p)> query;
    };

    explicit TableSettings(sdilink::Link& link) : link_(link) {}

    void plan(int p, ConfigRow& row) const override;
    QStringList applyOrder() const override;
    QString labelFor(QStringView name) const override;
    QCoro::Task<bool> set(int p, QString label, QString value) override;
    QCoro::Task<bool> query(int p, QString label) override;
    QString lastRequest() const override;

protected:
    std::vector<Entry> entries_;
    sdilink::Link& link_;

private:
    const Entry* entry(const QString& label) const;
};

} // namespace configure
