#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

namespace platform {
class Dialogs;
}
namespace protocol {
class ReplyLine;
}
namespace sdilink {
class Link;
}

namespace levelprobe {

class LevelFamily;

// The decoder branches of the level-probe transactions (codes 0-39): each writes the answer
// into the page shown and the sensor list, sets the reply status and decides what follows.
class LevelReplies {
public:
    LevelReplies(LevelFamily& family, sdilink::Link& link, platform::Dialogs& dialogs);

    // False when the code has no branch.
    bool decode(int tab, qint16 code, const protocol::ReplyLine& line);

    // From measurement answers (atttn) and from auto-zero and level-offset answers.
    std::array<qint16, 10> MeasureWait{};
    std::array<qint16, 10> MeasureCount{};
    std::array<qint16, 10> OffsetWait{};
    std::array<qint16, 10> OffsetCount{};

private:
    void handled();
    void beep();
    void unlock(int tab);
    void measure(int tab);
    void awaitData(int tab, int waitSeconds);
    void setColumn(int tab, int column, const QString& text);
    // A signed value rounded to `places`; the text as received when it is not a number.
    static QString rounded(const QString& value, int places);
    // The specific gravity from the reciprocal the sensor holds, rounded to 6 places.
    static QString specificGravity(const QString& reciprocal);

    void addressQuery(int tab, const protocol::ReplyLine& line);
    void addressChange(int tab, const protocol::ReplyLine& line);
    void pressureUnits(int tab, qint16 code, const protocol::ReplyLine& line);
    void identification(int tab, const protocol::ReplyLine& line);
    void measurement(int tab, const protocol::ReplyLine& line, bool offset);
    void data(int tab, const protocol::ReplyLine& line);
    void localOffset(int tab, qint16 code, const protocol::ReplyLine& line);
    void filter(int tab, qint16 code, const protocol::ReplyLine& line);

    LevelFamily& family_;
    sdilink::Link& link_;
    platform::Dialogs& dialogs_;
};

} // namespace levelprobe
