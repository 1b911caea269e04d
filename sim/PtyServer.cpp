#include "PtyServer.h"

#include "Bus.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

PtyServer::PtyServer(Bus& bus, QObject* parent) : QObject(parent), bus_(bus) {
    connect(&bus_, &Bus::transmitted, this, &PtyServer::transmit);
}

PtyServer::~PtyServer() {
    close();
}

bool PtyServer::fail(const QString& what) {
    error_ = QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
    close();
    return false;
}

bool PtyServer::open() {
    close();
    error_.clear();
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0)
        return fail(QStringLiteral("Cannot create a pseudo-terminal"));
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        return fail(QStringLiteral("Cannot unlock the pseudo-terminal"));
    char name[128] = {};
    if (::ptsname_r(master_, name, sizeof name) != 0)
        return fail(QStringLiteral("Cannot name the pseudo-terminal"));
    slavePath_ = QString::fromLocal8Bit(name);

    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0)
        return fail(QStringLiteral("Cannot open %1").arg(slavePath_));
    termios tio{};
    if (::tcgetattr(slave_, &tio) != 0)
        return fail(QStringLiteral("Cannot read the line settings of %1").arg(slavePath_));
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B1200);
    ::cfsetospeed(&tio, B1200);
    if (::tcsetattr(slave_, TCSANOW, &tio) != 0)
        return fail(QStringLiteral("Cannot make %1 raw").arg(slavePath_));

    const int flags = ::fcntl(master_, F_GETFL);
    if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail(QStringLiteral("Cannot make the pseudo-terminal non-blocking"));

    readNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(readNotifier_.get(), &QSocketNotifier::activated, this, &PtyServer::readMaster);
    writeNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Write);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_.get(), &QSocketNotifier::activated, this, &PtyServer::writeMaster);
    return true;
}

void PtyServer::close() {
    removeLink();
    readNotifier_.reset();
    writeNotifier_.reset();
    pending_.clear();
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
    slave_ = master_ = -1;
    slavePath_.clear();
}

bool PtyServer::createLink(const QString& path) {
    if (!isOpen()) {
        error_ = QStringLiteral("The pseudo-terminal is not open.");
        return false;
    }
    removeLink();
    const QByteArray native = QFile::encodeName(path);
    const QFileInfo info(path);
    if (info.isSymLink()) {
        if (::unlink(native.constData()) != 0) {
            error_ = QStringLiteral("Cannot replace the link %1: %2")
                         .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    } else if (info.exists()) {
        error_ =
            QStringLiteral("%1 exists and is not a symbolic link; it was left alone.").arg(path);
        return false;
    }
    if (::symlink(QFile::encodeName(slavePath_).constData(), native.constData()) != 0) {
        error_ = QStringLiteral("Cannot create the link %1: %2")
                     .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    linkPath_ = path;
    return true;
}

void PtyServer::removeLink() {
    if (linkPath_.isEmpty())
        return;
    // Only our own link goes; a link someone has pointed elsewhere since stays.
    if (QFileInfo(linkPath_).isSymLink() && QFile::symLinkTarget(linkPath_) == slavePath_)
        ::unlink(QFile::encodeName(linkPath_).constData());
    linkPath_.clear();
}

void PtyServer::readMaster() {
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            bus_.receive(QByteArrayView(buffer, n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return;
        // End of file or an error: nothing more will come; stop watching.
        if (readNotifier_)
            readNotifier_->setEnabled(false);
        return;
    }
}

void PtyServer::transmit(const QByteArray& bytes) {
    if (!isOpen())
        return;
    pending_ += bytes;
    writeMaster();
}

void PtyServer::writeMaster() {
    while (!pending_.isEmpty()) {
        const ssize_t n = ::write(master_, pending_.constData(), pending_.size());
        if (n > 0) {
            pending_.remove(0, n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            break; // full: go on when it is writable again
        } else {
            pending_.clear(); // the pty is failing; what cannot be written is lost
        }
    }
    if (writeNotifier_)
        writeNotifier_->setEnabled(!pending_.isEmpty());
}

} // namespace sim
