#include "ScanWindow.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace discovery {

ScanWindow::ScanWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SensorPoll"));
    setWindowTitle(QStringLiteral("Sensor Scan..."));
    setModal(false);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setAccessibleName(QStringLiteral("Scan progress"));
    ProgressBar1->setRange(0, 9);
    ProgressBar1->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Scanning sensors. Please wait."), this));
    layout->addWidget(ProgressBar1);
    setMinimumWidth(320);
}

void ScanWindow::setProgress(int value) {
    if (value == ProgressBar1->value())
        return;
    ProgressBar1->setUpdatesEnabled(false);
    ProgressBar1->setValue(value);
    ProgressBar1->setUpdatesEnabled(true); // asks for the bar to be drawn
}

} // namespace discovery
