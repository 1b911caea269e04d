#include "Connection.h"

#include "app/PortMenu.h"
#include "link/TimingWindow.h"
#include "platform/Dialogs.h"
#include "platform/SerialPort.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace app {

namespace {

QString fieldText(qint16 field, const char* fallback) {
    return field != 0 ? QString::number(field) : QString::fromLatin1(fallback);
}

} // namespace

Connection::Connection(platform::SerialPort& port, platform::Dialogs& dialogs, PortMenu& menu,
                       sdilink::TimingWindow& timing, SysData settings, const Controls& controls,
                       std::function<void()> Poll_Sensors)
    : port_(port), dialogs_(dialogs), menu_(menu), timing_(timing), settings_(std::move(settings)),
      controls_(controls), Poll_Sensors_(std::move(Poll_Sensors)) {}

void Connection::ReadSysData() {
    const SysData::Record r = settings_.read();
    // 0 stands for port 1; so does a number no menu item has.
    CommPort = (r.port >= 1 && r.port <= PortMenu::kPorts) ? r.port : 1;
    timing_.BreakText->setText(fieldText(r.breakTime, "20"));
    timing_.MarkText->setText(fieldText(r.markTime, "15"));
    timing_.DataTimeoutText->setText(fieldText(r.dataTimeout, "200"));
    timing_.TimeoutText->setText(fieldText(r.commandTimeout, "400"));
    timing_.applyBoxes();
    menu_.checkOnly(CommPort);
    OpenPort(CommPort);
}

bool Connection::WriteSysData(int portNumber) {
    const sdilink::TimingWindow::Values v = timing_.storedValues();
    SysData::Record r;
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

void Connection::mnuCom_Click(int n) {
    menu_.checkOnly(n);
    CommPort = static_cast<qint16>(n);
    WriteSysData(n);
    OpenPort(n);
}

} // namespace app
