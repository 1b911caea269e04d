#include "Transmitter.h"

#include "core/platform/SerialPort.h"

#include <utility>

namespace sdilink {

Transmitter::Transmitter(platform::SerialPort& port, platform::Pause pause, QObject* context)
    : port_(port), pause_(std::move(pause)), context_(context) {}

void Transmitter::send(const QByteArray& bytes, int breakMs, int markMs,
                       std::function<void()> written, std::function<void()> portClosed) {
    const quint64 sending = ++sends_;
    writing_ = true;
    port_.setBreak(true);
    pause_(breakMs, context_, [=, this] {
        if (port_.isOpen())
            port_.setBreak(false);
        if (sending != sends_)
            return; // given up during the break
        pause_(markMs, context_, [=, this] {
            if (sending != sends_)
                return;
            writing_ = false;
            if (!port_.isOpen()) {
                portClosed();
                return;
            }
            port_.write(bytes);
            if (sending == sends_) // the port did not fail as it was written to
                written();
        });
    });
}

void Transmitter::giveUp() {
    ++sends_;
    writing_ = false;
}

} // namespace sdilink
