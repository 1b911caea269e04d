#pragma once

#include <QDialog>

class QProgressBar;

namespace discovery {

// The small window shown while the bus is scanned.
class ScanWindow final : public QDialog {
    Q_OBJECT
public:
    explicit ScanWindow(QWidget* parent = nullptr);

    QProgressBar* ProgressBar1;
};

} // namespace discovery
