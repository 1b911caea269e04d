#include "QtSerialPort.h"

#include "PortMap.h"
#include "SerialDevices.h"

#include <QFileInfo>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>

namespace platform {

namespace {
constexpr qint64 kReadBufferSize = 4096;
} // namespace

QtSerialPort::QtSerialPort(const PortMap& ports, QObject* parent)
    : SerialPort(parent), ports_(ports) {
    // Replies arrive a character at a time and are read out at once. With no limit, each
    // character is read into a fresh 32 KB block that is freed again as soon as it is read;
    // under the buffer's own block size the block stays for the next character.
    port_.setReadBufferSize(kReadBufferSize);
    connect(&port_, &QSerialPort::readyRead, this, &SerialPort::dataArrived);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::deviceError);
}

void QtSerialPort::deviceError(QSerialPort::SerialPortError error) {
    // A device that went away keeps reporting itself readable: close it at once, or the
    // event loop spins on it.
    const bool failed = error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
                        error == QSerialPort::WriteError;
    if (!failed || !port_.isOpen())
        return;
    error_ = port_.errorString();
    close();
    reportLost();
}

QtSerialPort::~QtSerialPort() {
    close();
}

bool QtSerialPort::isPseudoTerminal(const QString& path) {
    struct stat st {};
    const QByteArray native = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    if (native.isEmpty() || ::stat(native.constData(), &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    // Unix98 pty slaves live on character majors 136-143.
    const unsigned int maj = major(st.st_rdev);
    return maj >= 136 && maj <= 143;
}

QString QtSerialPort::permissionAdvice(const QString& path, const QString& reason) {
    QString group = deviceGroup(path);
    if (group.isEmpty() || group == QLatin1String("root"))
        group = QStringLiteral("dialout");
    return QStringLiteral("%1. Add your user to the group \"%2\" that owns %3 "
                          "(sudo usermod -aG %2 $USER), then log out and in again.")
        .arg(reason.isEmpty() ? QStringLiteral("Permission denied") : reason, group, path);
}

bool QtSerialPort::open(int portNumber) {
    close();
    const QString path = ports_.path(portNumber);
    if (path.isEmpty()) {
        device_.clear();
        error_ = QStringLiteral("No serial device is bound to COM%1.").arg(portNumber);
        return false;
    }
    return openPath(path);
}

bool QtSerialPort::openPath(const QString& path) {
    close();
    device_ = path;
    error_.clear();
    port_.setPortName(path);
    if (!port_.open(QIODevice::ReadWrite)) {
        error_ = port_.errorString();
        // A device this user may open is locked by another program (the window, sdi12).
        const QFileInfo device(path);
        if (port_.error() == QSerialPort::PermissionError)
            error_ = device.isReadable() && device.isWritable()
                         ? QStringLiteral("%1 is in use by another program; close it first.")
                               .arg(path)
                         : permissionAdvice(path, error_);
        return false;
    }
    pty_ = isPseudoTerminal(path);
    if (!applyLineSettings(pty_)) {
        port_.close();
        return false;
    }
    port_.clearError();
    return true;
}

bool QtSerialPort::applyLineSettings(bool pty) {
    // Baud rate, stop bits and flow control hold on every device; data bits and parity
    // do not on a pty.
    const bool common = port_.setBaudRate(QSerialPort::Baud1200) &&
                        port_.setStopBits(QSerialPort::OneStop) &&
                        port_.setFlowControl(QSerialPort::NoFlowControl);
    const bool format =
        port_.setDataBits(QSerialPort::Data7) && port_.setParity(QSerialPort::EvenParity);
    if (common && (format || pty)) {
        lineMode_ = false;
        if (!characterByCharacter_)
            setLineMode(true);
        return true;
    }
    error_ = QStringLiteral("The device refused the line settings 1200 baud, 7 data bits, "
                            "even parity, 1 stop bit: %1")
                 .arg(port_.errorString());
    return false;
}

bool QtSerialPort::setLineMode(bool on) {
    // At 1200 baud every character would wake the tool on its own, a dozen times for a reply.
    // In the driver's line mode the received characters wait there until a line feed; none
    // of the driver's editing characters is kept, so every byte still arrives as it came. A
    // driver that refuses the mode leaves the port as it was: characters come one by one.
    termios tio{};
    const int fd = static_cast<int>(port_.handle());
    if (fd < 0 || ::tcgetattr(fd, &tio) != 0)
        return false;
    if (on) {
        tio.c_lflag |= ICANON;
        tio.c_lflag &= ~static_cast<tcflag_t>(IEXTEN | ECHO | ECHOE | ECHOK | ECHONL | ISIG);
        tio.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON | IXOFF);
        for (const int editing : {VEOF, VEOL, VEOL2, VERASE, VKILL})
            tio.c_cc[editing] = _POSIX_VDISABLE;
    } else {
        tio.c_lflag &= ~static_cast<tcflag_t>(ICANON);
    }
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        return false;
    lineMode_ = on;
    return true;
}

void QtSerialPort::setCharacterByCharacter(bool on) {
    characterByCharacter_ = on;
    if (port_.isOpen() && lineMode_ == on)
        setLineMode(!on);
}

void QtSerialPort::close() {
    if (port_.isOpen())
        port_.close();
    pty_ = false;
}

bool QtSerialPort::isOpen() const {
    return port_.isOpen();
}

void QtSerialPort::setBreak(bool on) {
    if (!port_.isOpen())
        return;
    // A pty ignores break; nothing to report there.
    if (!port_.setBreakEnabled(on) && pty_)
        port_.clearError();
}

void QtSerialPort::write(const QByteArray& bytes) {
    if (!port_.isOpen())
        return;
    port_.write(bytes);
    // Hand the bytes to the driver now, so they follow the mark without waiting for the
    // event loop.
    port_.flush();
}

int QtSerialPort::bytesWaiting() const {
    return port_.isOpen() ? static_cast<int>(port_.bytesAvailable()) : 0;
}

void QtSerialPort::clearInput() {
    if (!port_.isOpen())
        return;
    // Empties both QSerialPort's read buffer and the driver's input queue.
    port_.clear(QSerialPort::Input);
}

quint8 QtSerialPort::readByte() {
    char c = 0;
    port_.getChar(&c);
    return static_cast<quint8>(c);
}

} // namespace platform
