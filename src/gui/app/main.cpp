#include "CommandLine.h"
#include "DemoBus.h"
#include "MainWindow.h"
#include "StartupWindow.h"
#include "Termination.h"
#include "core/logging/JournalFolder.h"
#include "core/platform/PortMap.h"
#include "core/platform/QtSerialPort.h"
#include "core/platform/Services.h"
#include "core/platform/SysData.h"
#include "gui/platform/Dialogs.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("sdi12-config"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SDI12_VERSION));

    // The command line is read before the window system is touched, so --help and --version
    // work without a display.
    const app::CommandLine options = app::CommandLine::parse(platform::rawArguments(argc, argv));
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "sdi12-config: %s\nTry 'sdi12-config --help'.\n",
                     qPrintable(options.error));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(app::CommandLine::helpText()), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("sdi12-config %s\n", SDI12_VERSION);
        return 0;
    }

    QApplication application(argc, argv);
    app::quitOnTermination(&application);
    // The menu entry and the icon are installed under the application's id; the desktop
    // matches the window to them by it.
    QGuiApplication::setDesktopFileName(QStringLiteral(SDI12_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(SDI12_APP_ID)));

    platform::PortMap ports;
    for (const auto& [number, path] : options.bindings)
        ports.bind(number, path);

    app::AppServices services;
    app::DemoBus demo;
    if (options.demo) {
        if (!demo.start()) {
            std::fprintf(stderr, "sdi12-config: cannot start the simulated bus: %s\n",
                         qPrintable(demo.errorString()));
            return 1;
        }
        // The bus takes the place of the port the tool opens at start.
        const qint16 stored = platform::SysData().read().port;
        const int port = stored >= 1 && stored <= 16 ? stored : 1;
        ports.bind(port, demo.devicePath());
        services.settingsReadOnly = true;
        services.journalFolder = logging::demoJournalFolder();
        std::printf("Simulated bus on %s as COM%d\n", qPrintable(demo.devicePath()), port);
        std::fflush(stdout);
    }

    platform::QtSerialPort port(ports);
    platform::QtDialogs dialogs;
    services.port = &port;
    services.dialogs = &dialogs;
    services.ports = &ports;
    services.pause = platform::timerPause();
    services.clock = platform::systemClock();

    std::unique_ptr<app::MainWindow> window;
    auto* startup = new app::StartupWindow;
    startup->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(startup, &app::StartupWindow::familyChosen, [&](app::StartupWindow::Family f) {
        if (!window) {
            window = std::make_unique<app::MainWindow>(services);
            dialogs.setParent(window.get());
        }
        if (f == app::StartupWindow::Family::RotaryEncoder)
            window->setRotaryEncoderSensorType();
        else
            window->setLevelProbeSensorType();
        window->load();
    });
    startup->show();
    const int status = QApplication::exec();
    window.reset();
    port.close();
    demo.stop();
    return status;
}
