#pragma once

#include "FakeDialogs.h"
#include "FakeSerialPort.h"
#include "app/AppServices.h"

#include <QDateTime>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class QWidget;

namespace testing {

// The text a control shows: a box's text, a list's shown text, a check box as 0/1, a list
// box's lines joined with "|"; "?" for anything else.
QString shownText(QWidget* control);

// The platform services of a test: a fake port and scripted dialogs, a sleep that only
// records itself in the port's trace, a clock fixed at 2026-12-06 14:03:27, and a settings
// file in a folder of its own that goes with the test.
struct TestServices {
    TestServices();

    app::AppServices services();

    std::shared_ptr<QStringList> trace = std::make_shared<QStringList>();
    std::unique_ptr<FakeSerialPort> port;
    FakeDialogs dialogs;
    QDateTime now;
    QList<int> sleeps;
    QTemporaryDir settingsDir;
};

} // namespace testing
