#include "Reset.h"

#include "Filter.h"
#include "LevelFamily.h"
#include "LevelPage.h"
#include "core/levelprobe/CalibrationSteps.h"
#include "core/link/Link.h"
#include "core/logging/Logger.h"
#include "gui/platform/Dialogs.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/DropDown.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <array>

namespace levelprobe {

ResetWindow::ResetWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Reset"));
    setWindowTitle(QStringLiteral("Reset Sensor"));
    const QString label = QStringLiteral("Sensor Number:");
    SensorCombo = widgets::makeDropDown(this, "SensorCombo", label);
    for (int a = 0; a <= 9; ++a)
        SensorCombo->addEntry(QStringLiteral("Sensor %1").arg(a), a);
    ResetBut = widgets::makeButton(this, "ResetBut", QStringLiteral("Reset Sensor"));
    auto* grid = new QGridLayout(this);
    widgets::GridRows(grid).add(label, SensorCombo, ResetBut);
}

Reset::Reset(LevelFamily& family) : family_(family) {}

ResetWindow& Reset::window() {
    if (window_.isNull()) {
        window_ = new ResetWindow(family_.windowControls().SensorTab->window());
        window_->setWindowModality(Qt::ApplicationModal);
        QObject::connect(window_->ResetBut, &QPushButton::clicked, window_,
                         [this] { ResetBut_Click(); });
    }
    return *window_;
}

void Reset::mnuReset_Click() {
    ResetWindow& w = window();
    w.SensorCombo->setCurrentIndex(family_.currentPage());
    w.show();
    w.raise();
}

void Reset::ResetBut_Click() {
    if (family_.link().deferWhileHeld(QStringLiteral("reset"), -1, [this] { ResetBut_Click(); }))
        return;
    ResetWindow& w = window();
    ResetIndex = static_cast<qint16>(w.SensorCombo->currentIndex());
    if (!family_.sensors().present(ResetIndex)) {
        family_.dialogs().messageBox(QStringLiteral("Reset Sensor."),
                                     QStringLiteral("The selected sensor is not enabled."),
                                     platform::Dialogs::Icon::Exclamation);
        return;
    }
    resetChosen(ResetIndex);
}

QCoro::Task<> Reset::resetChosen(int p) {
    // One reset at a time.
    widgets::setEnabled({window_->ResetBut, window_->SensorCombo}, false);
    co_await ResetSensor(p);
    if (!window_.isNull())
        widgets::setEnabled({window_->ResetBut, window_->SensorCombo}, true);
}

QCoro::Task<bool> Reset::ResetSensor(int p) {
    // The filter window shows what the reset sends.
    family_.filter().setBoxes(QStringLiteral("10"), QStringLiteral("1"));
    const bool complete = co_await resetSensor(family_.sensors(), p);
    if (!complete)
        co_return false;
    family_.dialogs().messageBox(QStringLiteral("Sensor Reset"),
                                 QStringLiteral("Reset is Complete."),
                                 platform::Dialogs::Icon::Information);
    family_.logger().requestReading(p);
    co_return true;
}

} // namespace levelprobe
