#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

class QSocketNotifier;

namespace sim {

class Bus;

// Serves a simulated bus on a pseudo-terminal, so any program that opens the slave device
// (or a symbolic link to it) as its serial port talks to the bus. The pty is raw: no echo,
// no line editing; the bus echoes requests itself. A break cannot pass a pty, so the bus
// frames requests by their "!".
//
// The server keeps a descriptor of the slave open itself, so the pty stays usable while the
// client has its port closed and reopens it.
class PtyServer final : public QObject {
    Q_OBJECT
public:
    explicit PtyServer(Bus& bus, QObject* parent = nullptr);
    ~PtyServer() override;

    // Creates the pty; false (see errorString) when the system refuses.
    bool open();
    // Removes the link, if any, and closes the pty.
    void close();
    bool isOpen() const { return master_ >= 0; }

    // The slave device, e.g. /dev/pts/7; empty while closed.
    QString slavePath() const { return slavePath_; }

    // Makes path a symbolic link to the slave; a symbolic link already there is replaced,
    // anything else there is left alone and the call fails. The link goes when the server
    // closes.
    bool createLink(const QString& path);
    QString linkPath() const { return linkPath_; }

    QString errorString() const { return error_; }

private:
    void readMaster();
    void writeMaster();
    void transmit(const QByteArray& bytes);
    void removeLink();
    bool fail(const QString& what);

    Bus& bus_;
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
    QString linkPath_;
    QString error_;
    QByteArray pending_;
    std::unique_ptr<QSocketNotifier> readNotifier_;
    std::unique_ptr<QSocketNotifier> writeNotifier_;
};

} // namespace sim
