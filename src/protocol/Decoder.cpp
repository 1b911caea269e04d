#include "Decoder.h"

#include "ReplyLine.h"
#include "link/Link.h"
#include "platform/Dialogs.h"

namespace protocol {

Decoder::Decoder(sdilink::Link& link, Family& family, platform::Dialogs& dialogs,
                 CurrentTab currentTab)
    : link_(link), family_(family), dialogs_(dialogs), currentTab_(std::move(currentTab)) {}

void Decoder::Decode_SDI12(sdilink::ReceiveBuffer& sdi_buff) {
    const int tab = currentTab_();
    const QString line = QString::fromLatin1(sdi_buff.Data.constData(), sdi_buff.Count);

    if (link_.UserCommandFlag) {
        if (link_.BeepOnReply)
            link_.beep();
        if (userCommandSink_)
            userCommandSink_(line);
        return;
    }
    // A line without the request's echo answers some other request.
    if (link_.strSent_Command.isEmpty() || !line.contains(link_.strSent_Command))
        return;
    const ReplyLine reply(line);
    if (reply.p() == 0)
        return;

    if (!family_.decodeReply(tab, link_.CommandMode, reply)) {
        dialogs_.messageBox(QStringLiteral("SDI12 Message Error."),
                            QStringLiteral("Command response not found."),
                            platform::Dialogs::Icon::Exclamation);
        family_.unlockPage(tab);
    }
}

void Decoder::unlockShownPage() {
    family_.unlockPage(currentTab_());
}

} // namespace protocol
