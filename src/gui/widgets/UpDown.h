#pragma once

#include <QWidget>

class QToolButton;

namespace widgets {

// A pair of arrow buttons that step a whole number within a range, beside the text box
// that shows it. The box is not bound: the owner writes the value into it on valueChanged.
class UpDown final : public QWidget {
    Q_OBJECT
public:
    UpDown(int minimum, int maximum, QWidget* parent = nullptr);

    int value() const { return value_; }
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    // Clamped into the range; emits valueChanged only when the value changes.
    void setValue(int value);

Q_SIGNALS:
    void valueChanged(int value);

private:
    QToolButton* up_;
    QToolButton* down_;
    int minimum_;
    int maximum_;
    int value_;
};

} // namespace widgets
