#include "Connection.h"

#include "TimingWindow.h"
#include "core/platform/SerialPort.h"
#include "gui/app/PortMenu.h"
#include "gui/platform/Dialogs.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>
#include <array>

namespace app {

namespace {

// A timing field of the settings file: 0 stands for the default.
struct TimingField {
    qint16 stored;
    QLineEdit* box;
    qint16 fallback;
};

} // namespace

Connection::Connection(platform::SerialPort& port, platform::Dialogs& dialogs, PortMenu& menu,
                       TimingWindow& timing, platform::SysData settings, const Controls& controls,
                       std::function<void()> Poll_Sensors)
    : port_(port), dialogs_(dialogs), menu_(menu), timing_(timing), settings_(std::move(settings)),
      controls_(controls), Poll_Sensors_(std::move(Poll_Sensors)) {}

void Connection::ReadSysData() {
    const platform::SysData::Record r = settings_.read();
    // 0 stands for port 1; so does a number no menu item has.
    CommPort = (r.port >= 1 && r.port <= PortMenu::kPorts) ? r.port : 1;
    const std::array<TimingField, 4> fields{{
        {r.breakTime, timing_.BreakText, 20},
        {r.markTime, timing_.MarkText, 15},
        {r.dataTimeout, timing_.DataTimeoutText, 200},
        {r.commandTimeout, timing_.TimeoutText, 400},
    }};
    // A value "Apply" would refuse (a negative one; the field holds no more than 32767)
    // is not put into effect: a negative command time-out would switch the time-out off.
    // The default takes its place for this run; the file is left as it is.
    QStringList outOfRange;
    for (const TimingField& f : fields) {
        qint16 value = f.stored != 0 ? f.stored : f.fallback;
        if (!TimingWindow::inRange(value)) {
            outOfRange << QStringLiteral("The %1 stored in the settings file is out of range; "
                                         "the default %2 is used.")
                              .arg(f.box->accessibleName())
                              .arg(f.fallback);
            value = f.fallback;
        }
        f.box->setText(QString::number(value));
    }
    timing_.applyBoxes();
    if (!outOfRange.isEmpty())
        dialogs_.messageBox(QStringLiteral("Timing Settings."), outOfRange.join(QLatin1Char('\n')),
                            platform::Dialogs::Icon::Exclamation);
    menu_.checkOnly(CommPort);
    OpenPort(CommPort);
}

bool Connection::WriteSysData(int portNumber) {
    const TimingWindow::Values v = timing_.storedValues();
    platform::SysData::Record r;
    r.port = static_cast<qint16>(portNumber);
    r.breakTime = v.BreakTiming;
    r.markTime = v.MarkTiming;
    r.dataTimeout = v.DataTimeout;
    r.commandTimeout = v.CommandTimeout;
    QString reason;
    if (settings_.write(r, &reason))
        return true;
    dialogs_.messageBox(QStringLiteral("Save Settings."),
                        QStringLiteral("The settings could not be stored in %1: %2\nThe "
                                       "current settings stay in effect until the program "
                                       "ends.")
                            .arg(settings_.path(), reason),
                        platform::Dialogs::Icon::Exclamation);
    return false;
}

bool Connection::OpenPort(int n) {
    if (port_.isOpen())
        port_.close();
    if (!port_.open(n)) {
        if (port_.isOpen())
            port_.close();
        const QString device = port_.deviceName();
        QString reason = port_.errorString();
        if (reason.isEmpty())
            reason = QStringLiteral("The port could not be opened.");
        const QString where = device.isEmpty() ? QStringLiteral("COM%1").arg(n)
                                               : QStringLiteral("COM%1 (%2)").arg(n).arg(device);
        dialogs_.messageBox(QStringLiteral("Scan Sensors..."),
                            QStringLiteral("No sensors were found. Please check connections "
                                           "and addresses.\n") +
                                where + QStringLiteral(": ") + reason,
                            platform::Dialogs::Icon::Exclamation);
        controls_.connectionPanel->setText(QStringLiteral("Not Connected. "));
        menu_.uncheck(n);
        return false;
    }
    controls_.connectionPanel->setText(
        QStringLiteral("Connected on Com Port %1, 1200, n, 7, 1. ").arg(n));
    controls_.SensorTab->setEnabled(true);
    if (ScanOnConnect != 0) {
        ScanOnConnect = 0;
        if (Poll_Sensors_)
            Poll_Sensors_();
    }
    controls_.mnuQueryAddress->setEnabled(true);
    return true;
}

void Connection::portLost() {
    controls_.connectionPanel->setText(QStringLiteral("Not Connected. "));
    menu_.uncheck(CommPort);
    QString where = QStringLiteral("COM%1").arg(CommPort);
    if (!port_.deviceName().isEmpty())
        where += QStringLiteral(" (%1)").arg(port_.deviceName());
    dialogs_.messageBox(QStringLiteral("Connection."),
                        QStringLiteral("The serial port %1 was lost: %2\rReconnect the "
                                       "interface, then choose its port from the Comms Port "
                                       "menu.")
                            .arg(where, port_.errorString()),
                        platform::Dialogs::Icon::Exclamation);
}

void Connection::mnuCom_Click(int n) {
    menu_.checkOnly(n);
    CommPort = static_cast<qint16>(n);
    WriteSysData(n);
    OpenPort(n);
}

} // namespace app
