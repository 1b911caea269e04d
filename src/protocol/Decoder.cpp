#include "Decoder.h"

#include "ReplyLine.h"
#include "link/Link.h"
#include "platform/Dialogs.h"

namespace protocol {

Decoder::Decoder(sdilink::Link& link, Family& family, platform::Dialogs& dialogs)
    : link_(link), family_(family), dialogs_(dialogs) {}

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
        dialogs_.messageBox(QStringLiteral("Query Sensor Address."),
                            QStringLiteral("Sensor Address is ") + reply.mid(reply.p() + 1, 1) +
                                QLatin1Char('.'),
                            platform::Dialogs::Icon::Exclamation);
        family_.unlockPage(transaction.page);
        return;
    }
    if (!family_.decodeReply(transaction, reply)) {
        dialogs_.messageBox(QStringLiteral("SDI12 Message Error."),
                            QStringLiteral("Command response not found."),
                            platform::Dialogs::Icon::Exclamation);
        family_.unlockPage(transaction.page);
    }
}

} // namespace protocol
