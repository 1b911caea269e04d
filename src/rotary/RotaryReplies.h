#pragma once

#include "RotaryAnswer.h"

#include <QtGlobal>
#include <array>

namespace platform {
class DropDown;
}
namespace protocol {
class ReplyLine;
}
namespace sdilink {
class Link;
struct Transaction;
} // namespace sdilink

namespace rotary {

class RotaryFamily;

// The decoder branches of the encoder transactions (codes 101-117): each reads the answer
// (readRotaryAnswer), writes it into the transaction's page and the sensor list, sets the
// reply status and decides what follows: a set hands over to a reading, whose data unlocks.
class RotaryReplies {
public:
    RotaryReplies(RotaryFamily& family, sdilink::Link& link);

    // False when the code has no branch.
    bool decode(const sdilink::Transaction& transaction, const protocol::ReplyLine& line);
    void apply(int tab, qint16 code, const RotaryAnswer& answer);

    // From measurement answers (atttnn).
    std::array<qint16, 10> MeasureWait{};
    std::array<qint16, 10> MeasureCount{};

private:
    void handled();
    void beep();
    void unlock(int tab);
    void measure(int tab);
    void setColumn(int tab, int column, const QString& text);
    // Shows the entry the encoder named, or nothing when its answer named none.
    static void showEntry(platform::DropDown* list, std::optional<int> index);

    RotaryFamily& family_;
    sdilink::Link& link_;
};

} // namespace rotary
