#pragma once

#include "LevelAnswer.h"
#include "protocol/ReplySteps.h"

#include <QString>
#include <QtGlobal>
#include <array>

namespace platform {
class Dialogs;
} // namespace platform
namespace widgets {
class DropDown;
} // namespace widgets
namespace protocol {
class ReplyLine;
}
namespace sdilink {
class Link;
struct Transaction;
} // namespace sdilink

namespace levelprobe {

class LevelFamily;

// The decoder branches of the level-probe transactions (codes 0-39): each reads the answer
// (readLevelAnswer), writes it into the transaction's page and the sensor list, sets the
// reply status and decides what follows.
class LevelReplies : private protocol::ReplySteps {
public:
    LevelReplies(LevelFamily& family, sdilink::Link& link, platform::Dialogs& dialogs);

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
    void setColumn(int tab, int column, const QString& text);
    void showUnit(widgets::DropDown* units, std::optional<int> unitCode);

    void addressChange(int tab, const LevelAnswer& a);
    void pressureUnits(int tab, Code code, const LevelAnswer& a);
    void identification(int tab, const LevelAnswer& a);
    void measurement(int tab, const LevelAnswer& a, bool offset);
    void data(int tab, const LevelAnswer& a);
    void localOffset(int tab, Code code, const LevelAnswer& a);
    void filter(int tab, Code code, const LevelAnswer& a);

    LevelFamily& family_;
    platform::Dialogs& dialogs_;
};

} // namespace levelprobe
