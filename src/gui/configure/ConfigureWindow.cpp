#include "ConfigureWindow.h"

#include "core/configure/SettingsAccess.h"
#include "core/link/Link.h"
#include "core/platform/SerialPort.h"
#include "gui/platform/Dialogs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace configure {

namespace {

const QString kApplyTitle = QStringLiteral("Apply Configuration");
const QString kCompareTitle = QStringLiteral("Compare Configuration");

void showRow(QTreeWidgetItem* item, const ConfigRow& row, bool compare) {
    item->setText(0, row.label);
    item->setText(1, row.now);
    item->setText(2, row.other);
    // The values' columns are kept narrow (see showRows): a long value reads in full here.
    item->setToolTip(1, row.now);
    item->setToolTip(2, row.other);
    if (compare) {
        item->setText(3, row.differs() ? QStringLiteral("differs") : QString());
        QFont font = item->font(0);
        font.setBold(row.differs());
        for (int c = 0; c < 4; ++c)
            item->setFont(c, font);
        return;
    }
    const bool greyed = row.kind == ConfigRow::Kind::Identity ||
                        row.kind == ConfigRow::Kind::Fixed ||
                        (row.kind == ConfigRow::Kind::Setting && !row.reason.isEmpty());
    item->setText(3, row.outcome != ConfigRow::Outcome::None ? outcomeText(row)
                     : greyed                                ? row.reason
                                                             : QString());
    Qt::ItemFlags flags = Qt::ItemIsSelectable;
    if (!greyed)
        flags |= Qt::ItemIsEnabled;
    if (row.applicable()) {
        flags |= Qt::ItemIsUserCheckable;
        item->setCheckState(0, row.ticked ? Qt::Checked : Qt::Unchecked);
    }
    item->setFlags(flags);
    item->setToolTip(3, item->text(3));
}

} // namespace

ConfigureWindow::ConfigureWindow(Mode mode, SettingsAccess& access, sdilink::Link& link,
                                 platform::Dialogs& dialogs, int page,
                                 std::function<QList<int>()> found, QWidget* parent)
    : QDialog(parent), mode_(mode), access_(access), link_(link), dialogs_(dialogs), page_(page),
      found_(std::move(found)) {
    const bool applying = mode == Mode::Apply;
    setObjectName(applying ? QStringLiteral("ApplyConfigurationWindow")
                           : QStringLiteral("CompareConfigurationWindow"));
    setWindowTitle(applying ? kApplyTitle : kCompareTitle);
    auto* layout = new QVBoxLayout(this);
    SourceLabel = new QLabel(this);
    layout->addWidget(SourceLabel);

    auto* targets = new QHBoxLayout;
    targets->addWidget(
        new QLabel(applying ? QStringLiteral("Apply to:") : QStringLiteral("Compare with:"), this));
    const QList<int> sensors = found_();
    for (int p = 0; p <= 9; ++p) {
        auto* check = new QCheckBox(QStringLiteral("Sensor %1").arg(p), this);
        check->setObjectName(QStringLiteral("TargetCheck%1").arg(p));
        check->setChecked(p == page_);
        check->setVisible(applying && sensors.contains(p));
        connect(check, &QCheckBox::toggled, this, [this] {
            takeTicks();
            refresh();
        });
        targets->addWidget(check);
        TargetChecks << check;
    }
    CompareWith = new QComboBox(this);
    CompareWith->setObjectName(QStringLiteral("CompareWith"));
    CompareWith->addItem(QStringLiteral("a saved configuration"), -1);
    for (int p : sensors)
        if (p != page_)
            CompareWith->addItem(QStringLiteral("Sensor %1").arg(p), p);
    CompareWith->setVisible(!applying);
    if (!applying)
        SourceLabel->setText(QStringLiteral("Choose what to compare sensor %1 with.").arg(page_));
    connect(CompareWith, &QComboBox::activated, this, &ConfigureWindow::compareWith);
    targets->addWidget(CompareWith);
    targets->addStretch();
    layout->addLayout(targets);

    Table = new QTreeWidget(this);
    Table->setObjectName(QStringLiteral("ConfigurationTable"));
    Table->setRootIsDecorated(applying);
    Table->setHeaderLabels({QStringLiteral("Setting"), QStringLiteral("Sensor"),
                            applying ? QStringLiteral("File") : QString(),
                            applying ? QStringLiteral("Result") : QString()});
    Table->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The identification fills a whole line: fitted to it, the sensor's and the file's columns
    // would push the result out of sight. They are fitted in showRows, at most a few words
    // wide, and can be dragged wider.
    Table->header()->setSectionResizeMode(1, QHeaderView::Interactive);
    Table->header()->setSectionResizeMode(2, QHeaderView::Interactive);
    Table->setMinimumSize(720, 380);
    layout->addWidget(Table);

    LogPeriodCheck =
        new QCheckBox(QStringLiteral("Choose the file's logging period on the pages too"), this);
    LogPeriodCheck->setObjectName(QStringLiteral("LogPeriodCheck"));
    LogPeriodCheck->setVisible(applying);
    layout->addWidget(LogPeriodCheck);
    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    layout->addWidget(SummaryLabel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    ApplyBut = new QPushButton(QStringLiteral("Apply"), this);
    ApplyBut->setObjectName(QStringLiteral("ApplyBut"));
    ApplyBut->setVisible(applying);
    ApplyBut->setEnabled(false);
    CloseBut = new QPushButton(QStringLiteral("Close"), this);
    buttons->addWidget(ApplyBut);
    buttons->addWidget(CloseBut);
    layout->addLayout(buttons);
    connect(ApplyBut, &QPushButton::clicked, this, &ConfigureWindow::apply);
    connect(CloseBut, &QPushButton::clicked, this, [this] {
        if (applying_)
            stop();
        else
            close();
    });
}

void ConfigureWindow::setFile(const report::ReadReport& file, const QString& name) {
    other_ = file;
    otherName_ = name;
    SourceLabel->setText(QStringLiteral("%1: the configuration of sensor %2 (serial number \"%3\")")
                             .arg(name)
                             .arg(file.address)
                             .arg(file.serialNumber));
    ApplyBut->setEnabled(true);
    refresh();
}

void ConfigureWindow::setOtherSensor(int page) {
    otherSensor_ = page;
    otherName_ = QStringLiteral("Sensor %1").arg(page);
    SourceLabel->setText(QStringLiteral("Sensor %1 beside sensor %2").arg(page_).arg(page));
    const int index = CompareWith->findData(page);
    CompareWith->setCurrentIndex(index);
    refresh();
}

void ConfigureWindow::setTarget(int page, bool ticked) {
    TargetChecks.at(page)->setChecked(ticked);
}

void ConfigureWindow::compareWith(int index) {
    const int page = CompareWith->itemData(index).toInt();
    if (page >= 0)
        setOtherSensor(page);
    else
        Q_EMIT fileWanted();
}

void ConfigureWindow::takeTicks() {
    for (int i = 0; i < Table->topLevelItemCount(); ++i) {
        QTreeWidgetItem* group = Table->topLevelItem(i);
        const int p = group->data(0, Qt::UserRole).toInt();
        auto found = rows_.find(p);
        if (found == rows_.end())
            continue;
        for (int r = 0; r < group->childCount() && r < static_cast<int>(found->second.size()); ++r)
            if (found->second[static_cast<size_t>(r)].applicable())
                found->second[static_cast<size_t>(r)].ticked =
                    group->child(r)->checkState(0) == Qt::Checked;
    }
}

void ConfigureWindow::rebuildRows() {
    if (otherSensor_ >= 0)
        other_ = access_.current(otherSensor_);
    std::map<int, std::vector<ConfigRow>> rows;
    for (int p = 0; p <= 9; ++p) {
        const bool wanted = mode_ == Mode::Apply ? TargetChecks.at(p)->isChecked() : p == page_;
        if (!wanted || other_.address < 0)
            continue;
        std::vector<ConfigRow> sensorRows = compareReports(access_.current(p), other_);
        for (ConfigRow& row : sensorRows)
            planRow(p, row, true);
        rows[p] = std::move(sensorRows);
    }
    rows_ = std::move(rows);
    showRows();
}

void ConfigureWindow::planRow(int p, ConfigRow& row, bool fresh) {
    const bool wasApplicable = row.applicable();
    access_.plan(p, row);
    // A row that became applicable since (the page's "Unlock" ticked meanwhile) is ticked
    // where it differs; the user's ticks stay on the others.
    if (fresh || wasApplicable != row.applicable())
        row.ticked =
            (row.applicable() || row.kind == ConfigRow::Kind::PageSetting) && row.differs();
    const bool refused = mode_ == Mode::Apply && row.kind == ConfigRow::Kind::Setting &&
                         !row.reason.isEmpty() && !row.other.isEmpty() && row.differs();
    row.outcome = refused ? ConfigRow::Outcome::NotApplicable : ConfigRow::Outcome::None;
}

void ConfigureWindow::showRows() {
    Table->clear();
    const bool compare = mode_ == Mode::Compare;
    if (compare)
        Table->setHeaderLabels({QStringLiteral("Setting"), QStringLiteral("Sensor %1").arg(page_),
                                otherName_, QString()});
    for (const auto& [p, rows] : rows_) {
        QTreeWidgetItem* parent = nullptr;
        if (!compare) {
            parent = new QTreeWidgetItem(Table, {QStringLiteral("Sensor %1").arg(p)});
            parent->setData(0, Qt::UserRole, p);
        }
        for (const ConfigRow& row : rows) {
            auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(Table);
            showRow(item, row, compare);
        }
        if (parent)
            parent->setExpanded(true);
    }
    const int widest = Table->fontMetrics().averageCharWidth() * 26;
    for (int c : {1, 2}) {
        Table->resizeColumnToContents(c);
        Table->setColumnWidth(c, std::min(Table->columnWidth(c), widest));
    }
}

void ConfigureWindow::apply() {
    takeTicks();
    QPointer<ConfigureWindow> self(this);
    if (link_.deferWhileHeld(QStringLiteral("apply configuration"), page_, [self] {
            if (self)
                self->apply();
        }))
        return;
    if (!link_.port().isOpen()) {
        dialogs_.messageBox(kApplyTitle, QStringLiteral("The port is closed: nothing was applied."),
                            platform::Dialogs::Icon::Exclamation);
        return;
    }
    applyAll();
}

QCoro::Task<> ConfigureWindow::applyAll() {
    // Nothing the rows depend on changes while they are applied.
    setControls(false);
    applying_ = true;
    stopRequested_ = false;
    CloseBut->setText(QStringLiteral("Stop"));
    const StopReason stop = [this]() -> QString {
        if (link_.replyStatus() == sdilink::Link::Abandoned)
            return QStringLiteral("the program was closed");
        if (stopRequested_)
            return QStringLiteral("stopped");
        if (!link_.port().isOpen())
            return QStringLiteral("the port is closed");
        return {};
    };
    QStringList summaries;
    {
        const sdilink::Link::Sequence sequence(link_);
        for (auto& [p, rows] : rows_) {
            for (ConfigRow& row : rows)
                planRow(p, row, false);
            const QString refusal = access_.refusal(p);
            if (!refusal.isEmpty()) {
                summaries << QStringLiteral("Sensor %1: nothing applied. %2").arg(p).arg(refusal);
                continue;
            }
            co_await applyRows(access_, p, rows, LogPeriodCheck->isChecked(), stop);
            summaries << QStringLiteral("Sensor %1: %2").arg(p).arg(summary(rows));
        }
    }
    applying_ = false;
    CloseBut->setText(QStringLiteral("Close"));
    CloseBut->setEnabled(true);
    SummaryLabel->setText(summaries.join(QLatin1Char('\n')));
    showRows();
    setControls(true);
}

void ConfigureWindow::setControls(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{Table, LogPeriodCheck, ApplyBut})
        control->setEnabled(enabled);
    for (QCheckBox* check : TargetChecks)
        check->setEnabled(enabled);
}

void ConfigureWindow::stop() {
    if (!applying_)
        return;
    // The exchange under way ends as it ends; nothing more is sent.
    stopRequested_ = true;
    CloseBut->setEnabled(false);
}

void ConfigureWindow::closeEvent(QCloseEvent* event) {
    if (applying_ || reading_) {
        // The window stays to show how the apply ended.
        stop();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ConfigureWindow::refresh() {
    // The rows compare with what the sensors have now: their settings are read first.
    QList<int> pages;
    for (int p = 0; p <= 9; ++p) {
        const bool wanted = mode_ == Mode::Apply ? TargetChecks.at(p)->isChecked()
                                                 : p == page_ || p == otherSensor_;
        if (wanted && !read_.contains(p))
            pages << p;
    }
    if (pages.isEmpty() || !link_.port().isOpen()) {
        rebuildRows();
        return;
    }
    read(pages);
}

QCoro::Task<> ConfigureWindow::read(QList<int> pages) {
    ++reading_;
    setControls(false);
    for (int p : pages)
        read_ << p; // asked once, answered or not
    // Each read waits for its own turn: a sensor ticked while another is read is read after.
    const QString key = QStringLiteral("read configuration %1").arg(++reads_);
    if (co_await link_.turn(key, page_)) {
        const sdilink::Link::Sequence sequence(link_, true);
        for (int p : pages) {
            SummaryLabel->setText(QStringLiteral("Reading the settings of sensor %1...").arg(p));
            for (const QString& label : access_.applyOrder()) {
                co_await access_.query(p, label);
                if (link_.replyStatus() == sdilink::Link::Abandoned)
                    co_return;
            }
        }
    }
    if (--reading_ > 0)
        co_return; // the last read shows the rows
    SummaryLabel->clear();
    setControls(true);
    ApplyBut->setEnabled(other_.address >= 0); // a file to apply
    rebuildRows();
}

} // namespace configure
