#pragma once

#include "core/configure/ConfigRows.h"

#include <QCoroTask>
#include <QDialog>
#include <QList>
#include <functional>
#include <map>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace platform {
class Dialogs;
}
namespace sdilink {
class Link;
}

namespace configure {

class SettingsAccess;

// "Apply Configuration": a saved configuration beside the sensors it is to be applied to,
// one group of rows per sensor ("Apply to:"), applied and read back row by row.
// "Compare Configuration": the sensor of the page beside a file or another found sensor,
// the rows that differ marked.
class ConfigureWindow final : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Apply, Compare };

    // `found`: the pages whose sensors answered the last scan.
    ConfigureWindow(Mode mode, SettingsAccess& access, sdilink::Link& link,
                    platform::Dialogs& dialogs, int page, std::function<QList<int>()> found,
                    QWidget* parent = nullptr);

    // The configuration of a file (read without fault) and the file's name.
    void setFile(const report::ReadReport& file, const QString& name);
    // Compare mode: the other sensor instead of a file.
    void setOtherSensor(int page);
    // Ticks or unticks a sensor in "Apply to:".
    void setTarget(int page, bool ticked);
    // Applies the ticked rows to every sensor ticked in "Apply to:", one after another.
    void apply();

    // An apply is running, or the sensors' settings are being read (its steps wait for the
    // bus).
    bool applying() const { return applying_ || reading_ > 0; }
    // Ends a running apply after the exchange under way; the rows not sent say so. "Stop"
    // stands in place of "Close" while an apply runs.
    void stop();
    // The rows of a sensor as they stand.
    const std::vector<ConfigRow>& rows(int page) const { return rows_.at(page); }

    QTreeWidget* Table;
    QCheckBox* LogPeriodCheck;
    QPushButton* ApplyBut;
    QPushButton* CloseBut;
    QComboBox* CompareWith;
    QLabel* SourceLabel;
    QLabel* SummaryLabel;
    QList<QCheckBox*> TargetChecks; // one per address; hidden where no sensor was found

Q_SIGNALS:
    // Compare mode: the user chose to compare with a saved configuration.
    void fileWanted();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QCoro::Task<> applyAll();
    // Reads the settings of the sensors not read yet, then shows the rows.
    void refresh();
    QCoro::Task<> read(QList<int> pages);
    void setControls(bool enabled);
    void rebuildRows();
    // Sorts a row and says whether its value can go now; `fresh`: a new row, ticked where it
    // differs.
    void planRow(int p, ConfigRow& row, bool fresh);
    void showRows();
    void takeTicks();
    void compareWith(int index);

    Mode mode_;
    SettingsAccess& access_;
    sdilink::Link& link_;
    platform::Dialogs& dialogs_;
    int page_;
    std::function<QList<int>()> found_;
    report::ReadReport other_;
    QString otherName_;
    std::map<int, std::vector<ConfigRow>> rows_;
    int otherSensor_ = -1; // compare mode: the other sensor, or none
    QList<int> read_;      // the sensors whose settings were read since the window opened
    bool applying_ = false;
    int reading_ = 0; // reads under way
    int reads_ = 0;   // reads started
    bool stopRequested_ = false;
};

} // namespace configure
