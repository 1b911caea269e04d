#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace widgets {
class UpDown;
} // namespace widgets

namespace levelprobe {

// The filter window: the number of readings times the reading interval times 0.2 seconds
// is the sensor's maximum sample rate. Each spinner writes its value into its box; a whole
// number typed into a box moves its spinner.
class FilterWindow final : public QDialog {
    Q_OBJECT
public:
    explicit FilterWindow(QWidget* parent = nullptr);

    // Shows a filter answer: the numbers in the boxes as received, the spinners at them (or
    // at their nearest end), and the sample rate.
    void showFilter(int readings, int interval, const QString& sampleRate);

    QLineEdit* NoOfReadingsText;
    widgets::UpDown* UpDown1;
    QLineEdit* ReadingIntervalText;
    widgets::UpDown* UpDown2;
    QLineEdit* MaxSampleRateText;
    QPushButton* Command1;
    QPushButton* FilterSetingsBut;
};

} // namespace levelprobe
