#pragma once

#include "FakeDialogs.h"
#include "FakeSerialPort.h"
#include "Wait.h"
#include "gui/app/AppServices.h"

#include <QDateTime>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>
#include <memory>

class QWidget;

namespace testing {

// The text a control shows: a box's text, a list's shown text, a check box as 0/1, a list
// box's lines joined with "|"; "?" for anything else.
QString shownText(QWidget* control);

// The platform services of a test: a fake port and scripted dialogs, a pause that only
// records itself in the port's trace and goes on at once, a clock fixed at 2026-12-06 14:03:27, and
// a settings file and the logs' journals in a folder of their own that goes with the test; folders
// to show are recorded, not opened.
struct TestServices {
    TestServices();

    app::AppServices services();

    std::shared_ptr<QStringList> trace = std::make_shared<QStringList>();
    std::unique_ptr<FakeSerialPort> port;
    FakeDialogs dialogs;
    QDateTime now;
    QList<int> sleeps;
    QTemporaryDir settingsDir;
    QString journalFolder() const { return settingsDir.filePath(QStringLiteral("journal")); }
    QList<QUrl> openedUrls;
};

} // namespace testing
