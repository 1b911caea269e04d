#pragma once

#include "core/platform/Services.h"

#include <QByteArray>
#include <QObject>
#include <functional>

namespace platform {
class SerialPort;
}

namespace sdilink {

// Puts one request on the line the SDI-12 way: a break, a mark, then its bytes. Both waits
// are timer steps, so the program stays live however long they are set. It owns whether a
// request is still in its break or mark.
class Transmitter {
public:
    Transmitter(platform::SerialPort& port, platform::Pause pause, QObject* context);

    // Starts the break now. `written` runs once the bytes have gone out; `portClosed` instead
    // when the port closed before that. Neither runs for a request given up meanwhile.
    void send(const QByteArray& bytes, int breakMs, int markMs, std::function<void()> written,
              std::function<void()> portClosed);
    // The request in its break or mark is never written; the line is let go at the break's
    // end.
    void giveUp();
    // A request is in its break or mark: nothing can answer it yet.
    bool writing() const { return writing_; }

private:
    platform::SerialPort& port_;
    platform::Pause pause_;
    QObject* context_;
    quint64 sends_ = 0; // bumped by each request and each give-up
    bool writing_ = false;
};

} // namespace sdilink
