#include "MainWindow.h"
#include "StartupWindow.h"
#include "platform/Dialogs.h"
#include "platform/PortMap.h"
#include "platform/QtSerialPort.h"

#include <QApplication>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("sdi12-config"));
    QApplication::setApplicationVersion(QStringLiteral(SDI12_VERSION));

    platform::PortMap ports;
    platform::QtSerialPort port(ports);
    platform::QtDialogs dialogs;

    app::AppServices services;
    services.port = &port;
    services.dialogs = &dialogs;
    services.sleep = platform::realSleeper();
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
    return status;
}
