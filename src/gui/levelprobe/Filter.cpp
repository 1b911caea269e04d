#include "Filter.h"

#include "FilterWindow.h"
#include "LevelFamily.h"
#include "gui/platform/Dialogs.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace levelprobe {

namespace {

// A whole number within [low, high] typed into a box.
std::optional<int> wholeNumber(const QLineEdit* box, int low, int high) {
    bool ok = false;
    const int value = box->text().trimmed().toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

Filter::Filter(LevelFamily& family) : family_(family) {}

FilterWindow& Filter::window() {
    if (window_.isNull()) {
        window_ = new FilterWindow(family_.windowControls().SensorTab->window());
        window_->setWindowModality(Qt::ApplicationModal);
        QObject::connect(window_->Command1, &QPushButton::clicked, window_,
                         [this] { Command1_Click(); });
        QObject::connect(window_->FilterSetingsBut, &QPushButton::clicked, window_,
                         [this] { FilterSetingsBut_Click(); });
    }
    return *window_;
}

void Filter::mnuFilter_Click() {
    page_ = family_.currentPage();
    FilterWindow& w = window();
    w.setWindowTitle(QStringLiteral("Filter Setings - Sensor %1").arg(page_));
    FilterQuery(page_);
    // Modal, without an event loop of its own: replies and timers go on as before.
    w.show();
    w.raise();
}

void Filter::Command1_Click() {
    FilterQuery(page_);
}

void Filter::FilterSetingsBut_Click() {
    FilterSet(page_);
}

void Filter::FilterQuery(int p) {
    family_.sensors().query(p, sdilink::Code::FilterQuery);
}

bool Filter::FilterSet(int p) {
    FilterWindow& w = window();
    const std::optional<int> readings = wholeNumber(w.NoOfReadingsText, 1, 12);
    const std::optional<int> interval = wholeNumber(w.ReadingIntervalText, 1, 100);
    if (!readings || !interval) {
        family_.dialogs().messageBox(
            QStringLiteral("Filter Settings."),
            !readings ? QStringLiteral("The number of readings must be a whole number from 1 "
                                       "to 12. Nothing was sent.")
                      : QStringLiteral("The reading interval must be a whole number from 1 to "
                                       "100. Nothing was sent."),
            platform::Dialogs::Icon::Exclamation);
        return false;
    }
    family_.sensors().FilterSet(p, *readings, *interval);
    return true;
}

void Filter::setBoxes(const QString& readings, const QString& interval) {
    FilterWindow& w = window();
    w.NoOfReadingsText->setText(readings);
    w.ReadingIntervalText->setText(interval);
}

void Filter::showFilter(int readings, int interval, const QString& sampleRate) {
    if (hasWindow())
        window_->showFilter(readings, interval, sampleRate);
}

void Filter::setEnabled(bool enabled) {
    if (!hasWindow())
        return;
    window_->Command1->setEnabled(enabled);
    window_->FilterSetingsBut->setEnabled(enabled);
}

} // namespace levelprobe
