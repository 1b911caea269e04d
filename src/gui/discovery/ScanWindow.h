#pragma once

#include <QDialog>

class QProgressBar;

namespace discovery {

// The small window shown while the bus is scanned.
class ScanWindow final : public QDialog {
    Q_OBJECT
public:
    explicit ScanWindow(QWidget* parent = nullptr);

    // Shows the scan's progress. A progress bar draws itself at once for every new value,
    // between two of the scan's requests; this one is drawn when the program next waits.
    void setProgress(int value);

    QProgressBar* ProgressBar1;
};

} // namespace discovery
