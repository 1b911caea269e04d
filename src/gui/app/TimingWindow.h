#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

namespace platform {
class Dialogs;
}

namespace sdilink {
class Link;
}

namespace app {

using sdilink::Link;

// The "Timing Settings" window: break, mark, command time-out and data time-out as texts.
// The four boxes are also where the settings file takes its timing values from when it is
// written, and where reading it at start puts them; the window therefore lives for the
// whole run and is only shown on request (modal, with exec()).
class TimingWindow final : public QDialog {
    Q_OBJECT
public:
    TimingWindow(Link& link, platform::Dialogs& dialogs, QWidget* parent = nullptr);

    // What "Apply" calls once the new timings are in effect: store the settings file.
    void setStoreSettings(std::function<void()> store) { store_ = std::move(store); }

    // The values for the settings file, in file order. A box whose value does not fit a
    // 16-bit field (text typed but never applied) gives the value in effect instead.
    struct Values {
        qint16 BreakTiming = 0;
        qint16 MarkTiming = 0;
        qint16 DataTimeout = 0;
        qint16 CommandTimeout = 0;
    };
    Values storedValues() const;

    // Whether "Apply" takes a timing value (rounded to whole milliseconds): every value is
    // stored in a 16-bit field of the settings file, so it must lie in 0-32767.
    static bool inRange(double milliseconds);

    // Puts the numbers of the four boxes into effect without any check (start-up reading
    // and "Default", whose texts always fit).
    void applyBoxes();

    void butApply_Click();
    void butDefault_Click();

    QLineEdit* BreakText;
    QLineEdit* MarkText;
    QLineEdit* TimeoutText;
    QLineEdit* DataTimeoutText;
    QPushButton* butApply;
    QPushButton* butDefault;

private:
    Link& link_;
    platform::Dialogs& dialogs_;
    std::function<void()> store_;
};

} // namespace app
