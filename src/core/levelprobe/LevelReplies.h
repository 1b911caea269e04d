#pragma once

#include "LevelAnswer.h"
#include "core/protocol/ReplySteps.h"

#include <QString>
#include <QtGlobal>
#include <array>

namespace protocol {
class ReplyLine;
}
namespace sdilink {
class Link;
struct Transaction;
} // namespace sdilink

namespace levelprobe {

class LevelSensors;

// The decoder branches of the level-probe transactions (codes 0-39): each reads the answer
// (readLevelAnswer) into the sensor's record, which the views show, and
// decides what follows: an unlock, a reading, a re-read. None sends anything itself: what
// follows goes once the branch has returned.
class LevelReplies : private protocol::ReplySteps {
public:
    LevelReplies(LevelSensors& sensors, sdilink::Link& link);

    // False when the code has no branch.
    bool decode(const sdilink::Transaction& transaction, const protocol::ReplyLine& line);
    void apply(int tab, Code code, const LevelAnswer& answer);

    // From measurement answers (atttn) and from auto-zero and level-offset answers.
    std::array<qint16, 10> MeasureWait{};
    std::array<qint16, 10> MeasureCount{};
    std::array<qint16, 10> OffsetWait{};
    std::array<qint16, 10> OffsetCount{};

private:
    void unlock(int tab);
    void measure(int tab);
    void awaitData(int tab, int waitSeconds);

    void addressChange(int tab, const LevelAnswer& a);
    void measurement(int tab, const LevelAnswer& a, bool offset);
    void data(int tab, const LevelAnswer& a);
    void localOffset(int tab, Code code, const LevelAnswer& a);

    LevelSensors& sensors_;
};

} // namespace levelprobe
