#include "Decoder.h"

#include "ReplyLine.h"
#include "core/link/Link.h"

namespace protocol {

Decoder::Decoder(sdilink::Link& link, Family& family, Notice notice)
    : link_(link), family_(family), notice_(std::move(notice)) {}

void Decoder::Decode_SDI12(const sdilink::Transaction& transaction, const QByteArray& replyLine) {
    const QString line = QString::fromLatin1(replyLine);
    if (transaction.typed) {
        if (transaction.beep)
            link_.beep();
        if (userCommandSink_)
            userCommandSink_(line);
        return;
    }
    const ReplyLine reply(line);
    if (reply.p() == 0 || transaction.code == sdilink::Code::Acknowledge)
        return;
    if (transaction.code == sdilink::Code::AddressQuery) {
        // The address query, the same in both families.
        notice_(QStringLiteral("Query Sensor Address."), QStringLiteral("Sensor Address is ") +
                                                             reply.mid(reply.p() + 1, 1) +
                                                             QLatin1Char('.'));
        family_.unlockPage(transaction.page);
        return;
    }
    if (!family_.decodeReply(transaction, reply)) {
        notice_(QStringLiteral("SDI12 Message Error."),
                QStringLiteral("Command response not found."));
        family_.unlockPage(transaction.page);
    }
}

} // namespace protocol
