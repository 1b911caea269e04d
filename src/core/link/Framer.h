#pragma once

#include "ReceiveBuffer.h"

#include <QtGlobal>

namespace sdilink {

// Turns received bytes, one at a time, into reply lines and comms-log lines.
class Framer {
public:
    // The receiver's states; the numbers are those the comms behaviour has always used.
    enum class State : quint8 {
        Idle = 0,                   // waiting for an address character
        AwaitingServiceRequest = 1, // a measurement's service request is due
        AfterServiceRequest = 2,    // the service request's CR came; its LF follows
        InLine = 3,                 // collecting a line
        AfterLine = 4,              // the line's CR came; its LF completes it
    };

    // Longest line kept; a longer one is dropped and framing waits for the next address.
    static constexpr int kMaxLine = 1024;
    // Longest comms-log text kept for one line; the rest is cut and marked.
    static constexpr int kMaxLogText = 1024;

    struct Step {
        bool logLine = false;        // a line feed ended a comms-log line (logText holds it)
        bool lineComplete = false;   // buffer().Data holds a complete reply line
        bool serviceRequest = false; // the awaited sensor asked for its data
    };

    Step feed(quint8 b);
    // Only the comms log takes the byte (input being discarded); true when it ended a line.
    bool logOnly(quint8 b);
    // Ends the comms-log line received so far, if any, as the input is discarded; true when
    // there was one (logText holds it).
    bool takeUnfinishedLog();

    State state() const { return state_; }
    void setState(State state) { state_ = state; }
    int measureAddress() const { return measureAddress_; }
    void setMeasureAddress(int address) { measureAddress_ = address; }

    ReceiveBuffer& buffer() { return buffer_; }
    const ReceiveBuffer& buffer() const { return buffer_; }
    // The comms-log text completed by the last step that returned logLine.
    const QByteArray& logText() const { return logLine_; }

private:
    void logByte(quint8 b, Step& step);
    void frameByte(quint8 b, Step& step);

    ReceiveBuffer buffer_;
    QByteArray logLine_;
    State state_ = State::Idle;
    int measureAddress_ = 0;
    bool logCut_ = false;
};

} // namespace sdilink
