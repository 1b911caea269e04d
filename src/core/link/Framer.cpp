#include "Framer.h"

namespace sdilink {

namespace {
constexpr quint8 CR = 13;
constexpr quint8 LF = 10;

// A reply line starts with the sensor's address, or "?" (an echo of "?!").
bool startsLine(quint8 b) {
    return (b >= '0' && b <= '9') || b == '?';
}
} // namespace

Framer::Step Framer::feed(quint8 b) {
    Step step;
    logByte(b, step);
    frameByte(b, step);
    return step;
}

bool Framer::logOnly(quint8 b) {
    Step step;
    logByte(b, step);
    return step.logLine;
}

bool Framer::takeUnfinishedLog() {
    if (buffer_.LogText.isEmpty())
        return false;
    logLine_ = buffer_.LogText;
    if (logCut_)
        logLine_ += "...";
    buffer_.LogText.clear();
    logCut_ = false;
    return true;
}

void Framer::logByte(quint8 b, Step& step) {
    if (b == LF) {
        logLine_ = buffer_.LogText;
        if (logCut_)
            logLine_ += "...";
        buffer_.LogText.clear();
        logCut_ = false;
        step.logLine = true;
    } else if (b != 0 && b != CR) {
        if (buffer_.LogText.size() < kMaxLogText)
            buffer_.LogText.append(static_cast<char>(b));
        else
            logCut_ = true;
    }
}

void Framer::frameByte(quint8 b, Step& step) {
    switch (state_) {
    case State::Idle:
        buffer_.Count = 0;
        buffer_.Complete = false;
        buffer_.Data.clear();
        if (startsLine(b)) {
            buffer_.Data.append(static_cast<char>(b));
            buffer_.Count = 1;
            state_ = State::InLine;
        }
        break;
    case State::AwaitingServiceRequest:
        if (b == CR) {
            state_ = State::AfterServiceRequest;
        } else if (b == '0' + measureAddress_) {
            // Only the measured sensor's address asks for its data; noise does not.
            step.serviceRequest = true;
        }
        break;
    case State::AfterServiceRequest:
        state_ = State::Idle;
        break;
    case State::InLine:
        if (b == CR) {
            state_ = State::AfterLine;
        } else if (buffer_.Count >= kMaxLine) {
            // A line that never ends: drop it and wait for the next address character.
            buffer_.Data.clear();
            buffer_.Count = 0;
            state_ = State::Idle;
        } else {
            buffer_.Data.append(static_cast<char>(b));
            ++buffer_.Count;
        }
        break;
    case State::AfterLine:
    default:
        buffer_.Complete = true;
        step.lineComplete = true;
        state_ = State::Idle;
        break;
    }
}

} // namespace sdilink
