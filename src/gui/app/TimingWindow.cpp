#include "TimingWindow.h"

#include "core/link/Link.h"
#include "core/platform/Numbers.h"
#include "core/protocol/Numbers.h"
#include "gui/platform/Dialogs.h"
#include "gui/widgets/CharacterFilter.h"
#include "gui/widgets/Controls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <limits>
#include <optional>
#include <utility>

namespace app {

namespace {

constexpr double kLargest = std::numeric_limits<qint16>::max();

// The whole number a box holds: its leading number rounded, halves to even.
double boxValue(const QLineEdit* box) {
    return platform::roundHalfEven(protocol::leadingNumber(box->text()));
}

// A box value as a 16-bit field, or nothing when it does not fit.
std::optional<qint16> fitting(double value) {
    if (value < 0.0 || value > kLargest)
        return std::nullopt;
    return static_cast<qint16>(value);
}

qint16 saturated(double value) {
    if (value > kLargest)
        return std::numeric_limits<qint16>::max();
    if (value < std::numeric_limits<qint16>::min())
        return std::numeric_limits<qint16>::min();
    return static_cast<qint16>(value);
}

// Characters the boxes take: digits and ".". Any other typed or pasted character is
// refused with a beep.
bool acceptedCharacter(QChar c, const QString&) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || u == u'.';
}

} // namespace

TimingWindow::TimingWindow(Link& link, platform::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), link_(link), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Timing"));
    setWindowTitle(QStringLiteral("Timing Settings"));
    setModal(true);

    auto* grid = new QGridLayout(this);
    auto row = [this, grid](const char* name, const QString& label, const QString& text) {
        QLineEdit* box = widgets::makeTextBox(this, name, label);
        box->setText(text);
        widgets::CharacterFilter::install(box, acceptedCharacter, [this] { link_.beep(); });
        const int r = grid->rowCount();
        grid->addWidget(widgets::makeLabel(this, label), r, 0);
        grid->addWidget(box, r, 1);
        return box;
    };
    BreakText = row("BreakText", QStringLiteral("Break Timing (mS)"), QStringLiteral("20"));
    MarkText = row("MarkText", QStringLiteral("Mark Timing (mS)"), QStringLiteral("15"));
    TimeoutText = row("TimeoutText", QStringLiteral("Command Timeout (mS)"), QStringLiteral("400"));
    DataTimeoutText =
        row("DataTimeoutText", QStringLiteral("Data Timeout (mS)"), QStringLiteral("200"));

    butApply = widgets::makeButton(this, "butApply", QStringLiteral("Apply"));
    butDefault = widgets::makeButton(this, "butDefault", QStringLiteral("Default"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(butApply);
    buttons->addWidget(butDefault);
    grid->addLayout(buttons, grid->rowCount(), 0, 1, 2);

    connect(butApply, &QPushButton::clicked, this, &TimingWindow::butApply_Click);
    connect(butDefault, &QPushButton::clicked, this, &TimingWindow::butDefault_Click);
}

bool TimingWindow::inRange(double milliseconds) {
    return fitting(platform::roundHalfEven(milliseconds)).has_value();
}

void TimingWindow::applyBoxes() {
    Link::Timings t;
    t.BreakTiming = saturated(boxValue(BreakText));
    t.MarkTiming = saturated(boxValue(MarkText));
    t.DataTimeout = saturated(boxValue(DataTimeoutText));
    t.CommandTimeout = saturated(boxValue(TimeoutText));
    link_.setTimings(t);
}

TimingWindow::Values TimingWindow::storedValues() const {
    const Link::Timings& now = link_.timings();
    auto value = [](const QLineEdit* box, qint16 inEffect) {
        return fitting(boxValue(box)).value_or(inEffect);
    };
    Values v;
    v.BreakTiming = value(BreakText, now.BreakTiming);
    v.MarkTiming = value(MarkText, now.MarkTiming);
    v.DataTimeout = value(DataTimeoutText, now.DataTimeout);
    v.CommandTimeout = value(TimeoutText, saturated(now.CommandTimeout));
    return v;
}

void TimingWindow::butApply_Click() {
    // Every value is stored in a 16-bit field of the settings file, the command time-out
    // included, so all four must lie in 0-32767; otherwise nothing changes.
    const std::array<std::pair<const QLineEdit*, QString>, 4> boxes{{
        {BreakText, QStringLiteral("Break Timing (mS)")},
        {MarkText, QStringLiteral("Mark Timing (mS)")},
        {DataTimeoutText, QStringLiteral("Data Timeout (mS)")},
        {TimeoutText, QStringLiteral("Command Timeout (mS)")},
    }};
    for (const auto& [box, label] : boxes) {
        if (!inRange(boxValue(box))) {
            dialogs_.messageBox(QStringLiteral("Timing Settings."),
                                QStringLiteral("The value in \"%1\" is out of range. Enter a "
                                               "whole number of milliseconds from 0 to 32767.")
                                    .arg(label),
                                platform::Dialogs::Icon::Exclamation);
            return;
        }
    }
    // A time-out of 0 would have a silent sensor hold the bus for ever.
    if (platform::roundHalfEven(boxValue(TimeoutText)) < 1) {
        dialogs_.messageBox(QStringLiteral("Timing Settings."),
                            QStringLiteral("The value in \"Command Timeout (mS)\" is out of "
                                           "range. Enter a whole number of milliseconds from 1 "
                                           "to 32767."),
                            platform::Dialogs::Icon::Exclamation);
        return;
    }
    applyBoxes();
    if (store_)
        store_();
}

void TimingWindow::butDefault_Click() {
    BreakText->setText(QStringLiteral("20"));
    MarkText->setText(QStringLiteral("15"));
    DataTimeoutText->setText(QStringLiteral("200"));
    TimeoutText->setText(QStringLiteral("400"));
    applyBoxes();
}

} // namespace app
