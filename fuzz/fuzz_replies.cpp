// Feeds arbitrary bytes through the receiver's framer one at a time and every line it frames
// through the check that the line answers the transaction in flight and the pure reply
// readers of both families, under every transaction code. No widget, no application object,
// no event loop: one input costs microseconds, so a run can go to 10^8 inputs.
//
// Input: byte 0 picks the transaction code, byte 1 the page (low nibble, modulo 10), the
// framer's state at the start (bit 4: idle, or waiting for a service request as after a
// measurement's answer; the link sets no other) and whether the bytes start with the
// request's echo and the page's address (bit 7); the rest arrives on the serial line, and a
// CR LF after it ends the last line.
//
// Besides crashes and undefined behaviour it stops on a broken invariant of the framer (a
// line longer than its limit, a count that is not the line's length, an unknown state) or
// of an answer (a field outside what its characters can hold).

#include "core/levelprobe/LevelAnswer.h"
#include "core/link/Framer.h"
#include "core/link/Transaction.h"
#include "core/protocol/Catalogue.h"
#include "core/protocol/ReplyLine.h"
#include "core/rotary/RotaryAnswer.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Every code of both families by its number, the acknowledge (-1), a request typed by hand
// (99) and a code no family knows (100).
constexpr std::array<qint16, 58> kCodes{
    -1, 0,  1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,  16, 17, 18,
    19, 20, 21,  22,  23,  24,  25,  26,  27,  28,  29,  30,  31,  32,  33,  34,  35,  36, 37, 38,
    39, 99, 101, 102, 103, 104, 105, 106, 107, 108, 110, 111, 112, 113, 114, 116, 117, 100};

// The code of a request typed by hand: every line answers it.
constexpr qint16 kUserCommand = 99;

using sdilink::Code;
using State = sdilink::Framer::State;

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}

// A framed line starts with its echo: a sensor's address, or the "?" of a request to any
// address.
bool startsFramedLine(char c) {
    return (c >= '0' && c <= '9') || c == '?';
}

void checkFramer(const sdilink::Framer& framer, const sdilink::Framer::Step& step) {
    const sdilink::ReceiveBuffer& b = framer.buffer();
    require(framer.state() >= State::Idle && framer.state() <= State::AfterLine,
            "a known framer state");
    require(b.Count == b.Data.size(), "count is the line's length");
    require(b.Data.size() <= sdilink::Framer::kMaxLine, "line within its limit");
    require(b.LogText.size() <= sdilink::Framer::kMaxLogText, "comms-log text within its limit");
    if (step.logLine)
        require(framer.logText().size() <= sdilink::Framer::kMaxLogText + 3,
                "comms-log line within its limit and the cut mark");
    if (step.lineComplete)
        require(!b.Data.isEmpty() && startsFramedLine(b.Data[0]),
                "a framed line starts with an address character");
}

bool within(int value, int low, int high) {
    return value >= low && value <= high;
}

void checkLevel(const levelprobe::LevelAnswer& a) {
    require(!a.listCode || within(*a.listCode, 0, 99), "level list code is one or two digits");
    require(!a.flag || within(*a.flag, 0, 9), "level flag is one digit");
    require(within(a.oldAddress, -1, 9) && within(a.newAddress, -1, 9), "level addresses");
    require(a.identification.isEmpty() || a.identification.size() == 4, "level identification");
    require(within(a.wait, 0, 999) && within(a.count, 0, 9), "level wait and count");
    require(within(a.readings, 0, 99) && within(a.interval, -9999, 9999), "level filter");
    require(a.hasValues || (a.first.trimmed().isEmpty() && a.second.isEmpty()),
            "level values only with a data answer");
}

void checkRotary(const rotary::RotaryAnswer& a) {
    require(!a.listIndex || within(*a.listIndex, 0, 9), "encoder list index is one digit");
    require(within(a.oldAddress, -1, 9) && within(a.newAddress, -1, 9), "encoder addresses");
    require(a.identification.isEmpty() || a.identification.size() == 4, "encoder identification");
    require(within(a.wait, 0, 999) && within(a.count, 0, 9), "encoder wait and count");
}

// A framed line as the link and the decoder take it.
void lineFramed(const sdilink::Transaction& t, const QByteArray& line) {
    const qsizetype start = sdilink::replyStart(t, line);
    require(start >= -1 && start < line.size(), "reply start inside the line");
    if (start < 0)
        return;
    if (t.answer != sdilink::Transaction::Answer::AnyLine)
        require(line.mid(start).startsWith(t.request), "a reply starts with its echo");
    const protocol::ReplyLine reply(QString::fromLatin1(line.mid(start)));
    if (reply.p() == 0)
        return;
    // The chosen family's reader sees the line; the other one must refuse the code safely.
    checkLevel(levelprobe::readLevelAnswer(t.code, reply));
    checkRotary(rotary::readRotaryAnswer(t.code, reply));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const qint16 number = kCodes[data[0] % kCodes.size()];
    const auto code = static_cast<Code>(number);
    const int page = (data[1] & 0x0f) % 10;
    const QByteArray request = protocol::Catalogue::request(page, code, "1");
    sdilink::Transaction t = sdilink::Transaction::forPage(page, code, request);
    if (number == kUserCommand) {
        t.answer = sdilink::Transaction::Answer::AnyLine;
        t.typed = true;
    }

    QByteArray bytes;
    if (data[1] & 0x80)
        bytes = request + char('0' + page);
    bytes.append(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2));
    bytes.append("\r\n");

    sdilink::Framer framer;
    framer.setState((data[1] & 0x10) != 0 ? State::AwaitingServiceRequest : State::Idle);
    framer.setMeasureAddress(page);
    for (const char c : std::as_const(bytes)) {
        const sdilink::Framer::Step step = framer.feed(static_cast<quint8>(c));
        checkFramer(framer, step);
        if (step.lineComplete)
            lineFramed(t, framer.buffer().Data);
    }
    return 0;
}
