#pragma once

#include "RotaryAnswer.h"
#include "core/protocol/ReplySteps.h"

#include <QtGlobal>
#include <array>

namespace protocol {
class ReplyLine;
}
namespace sdilink {
class Link;
struct Transaction;
} // namespace sdilink

namespace rotary {

class RotarySensors;

// The decoder branches of the encoder transactions (codes 101-117): each reads the answer
// (readRotaryAnswer) into the encoder's record, which the views show, and
// decides what follows: a set hands over to a reading, whose data unlocks.
class RotaryReplies : private protocol::ReplySteps {
public:
    RotaryReplies(RotarySensors& sensors, sdilink::Link& link);

    // False when the code has no branch.
    bool decode(const sdilink::Transaction& transaction, const protocol::ReplyLine& line);
    void apply(int tab, Code code, const RotaryAnswer& answer);

    // From measurement answers (atttnn).
    std::array<qint16, 10> MeasureWait{};
    std::array<qint16, 10> MeasureCount{};

private:
    void unlock(int tab);
    void measure(int tab);

    RotarySensors& sensors_;
};

} // namespace rotary
