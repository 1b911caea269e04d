#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace platform {

// The one serial port the tool talks through. Port numbers are 1-16 ("COM1" ... "COM16");
// how a number maps to a device is the implementation's business.
//
// Line settings are fixed for every opening: 1200 baud, 7 data bits, even parity, 1 stop bit.
// Bytes are delivered unchanged, one per readByte(), in the order received, and dataArrived()
// is emitted on the owning (GUI) thread after new bytes have arrived.
class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialPort() override = default;

    // Opens port n (1-16). Fails (false) when the device is absent, in use, or refuses the
    // line settings; errorString() then says why. A port already open is closed first.
    virtual bool open(int portNumber) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Holds the line in the break condition between setBreak(true) and setBreak(false).
    virtual void setBreak(bool on) = 0;
    // Queues the whole byte string for sending and returns before the bytes have left.
    virtual void write(const QByteArray& bytes) = 0;
    virtual int bytesWaiting() const = 0;
    // Returns one received byte; only valid while bytesWaiting() > 0.
    virtual quint8 readByte() = 0;
    // Discards every received byte the port holds, those still in the operating system's
    // driver included. Bytes written and not yet sent are not touched.
    virtual void clearInput() = 0;

    // Whether each character is handed over the moment it arrives (true), or a port may hold
    // the characters of a line until its line feed (false, the default), which wakes the tool
    // once a line instead of once a character. The bytes and their order are the same either
    // way; only when they are handed over differs. A sensor's service request is awaited
    // character by character: its address alone is the signal.
    virtual void setCharacterByCharacter(bool on) { (void)on; }

    // Why the last open() failed, in words for a user; empty after a success.
    virtual QString errorString() const = 0;
    // The device behind the port opened last (or tried last), for messages.
    virtual QString deviceName() const = 0;

    // The port has failed and closed, and lost() is still on its way: a request made in the
    // meantime is told of by the loss's own message, not by one of its own.
    bool lossPending() const { return lossPending_; }

Q_SIGNALS:
    void dataArrived();
    // The open device failed (a USB adapter unplugged, the other side of a pseudo-terminal
    // closed): the port is closed by the time this is emitted, and errorString() says why.
    // Emitted once per failure, from the event loop.
    void lost();

protected:
    // For an implementation that has just closed a failed device: emits lost() from the
    // event loop.
    void reportLost() {
        lossPending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                lossPending_ = false;
                Q_EMIT lost();
            },
            Qt::QueuedConnection);
    }

private:
    bool lossPending_ = false;
};

} // namespace platform
