// "Save Log" on a page holding a long log, with the real file and progress dialogs: how long
// the window is busy between the click and the file dialog taking its input, and, with xlsx
// chosen, until the first box or progress dialog the save shows. The dialogs are answered by
// timers that run only once the window's thread is free again, so each figure is the time
// the window did not respond.

#include "Fixtures.h"
#include "core/logging/LogModel.h"
#include "core/logging/Logger.h"
#include "gui/app/AppServices.h"
#include "gui/app/MainWindow.h"
#include "gui/app/SensorPage.h"
#include "gui/logging/LogFrame.h"
#include "gui/platform/Dialogs.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

constexpr int kPage = 2;

// Calls `then` with the first modal dialog once the window's thread runs its timers.
void whenModal(const std::function<void(QWidget*)>& then) {
    QTimer::singleShot(0, [then] {
        if (QWidget* modal = QApplication::activeModalWidget())
            then(modal);
        else
            whenModal(then);
    });
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int readings = argc > 1 ? QByteArray(argv[1]).toInt() : 1'500'000;
    // As on a desktop with assistive technology running: the window tells it of changes.
    // The file type chosen: 0 xls, 1 xlsx, 2 csv.
    const int filter = argc > 2 ? QByteArray(argv[2]).toInt() : 1;
    if (argc > 3 && QByteArray(argv[3]) == "--accessible")
        QAccessible::setActive(true);

    testing::TestServices t;
    t.port->availablePorts = {16}; // no scan
    platform::QtDialogs dialogs;
    app::AppServices services = t.services();
    services.dialogs = &dialogs;
    app::MainWindow w(services);
    dialogs.setParent(&w);
    w.setLevelProbeSensorType();
    // The port of the settings is not there: its box is closed as a person would.
    whenModal([](QWidget* modal) { modal->close(); });
    w.load();
    w.SensorTab->setEnabled(true);
    w.SensorTab->setCurrentIndex(kPage);
    logging::LogModel& log = w.logger().log(kPage);
    const QDateTime start(QDate(2026, 12, 6), QTime(0, 0));
    for (int i = 0; i < readings; ++i)
        log.addRow(start.addSecs(i), QString::number(1013.25 + (i % 1000) * 0.0137, 'f', 4),
                   u"Inch Hg", QString::number(-5.0 + (i % 400) * 0.05, 'f', 2), u"Centigrade");
    w.show();
    QApplication::processEvents();

    QTemporaryDir dir;
    QElapsedTimer clock;
    double toFileDialog = 0;
    double toNextDialog = 0;
    QString nextDialog;
    whenModal([&, filter](QWidget* modal) {
        toFileDialog = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        auto* files = qobject_cast<QFileDialog*>(modal);
        if (files == nullptr) {
            modal->close();
            return;
        }
        files->selectNameFilter(files->nameFilters().value(filter));
        files->selectFile(dir.filePath(QStringLiteral("long")));
        clock.restart();
        whenModal([&](QWidget* next) {
            toNextDialog = static_cast<double>(clock.nsecsElapsed()) / 1e9;
            nextDialog = next->windowTitle() + QStringLiteral(": ");
            if (auto* box = qobject_cast<QMessageBox*>(next)) {
                nextDialog += box->text().section(QLatin1Char('\n'), 0, 0);
                box->accept();
            } else if (auto* progress = qobject_cast<QProgressDialog*>(next)) {
                nextDialog += progress->labelText();
                progress->cancel();
            }
        });
        static_cast<QDialog*>(files)->accept(); // as the Save button does
    });
    clock.start();
    w.page(kPage)->log->SaveLogBut->click();

    std::printf("%d readings: %.2f s from the click to the file dialog, then %.2f s to \"%s\"\n",
                readings, toFileDialog, toNextDialog, qPrintable(nextDialog));
    return 0;
}
