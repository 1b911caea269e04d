#include "Transaction.h"

namespace sdilink {

namespace {

bool isAddressCharacter(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

Transaction Transaction::forPage(int page, Code code, QByteArray request) {
    Transaction t;
    t.page = page;
    t.code = code;
    if (request.startsWith('?'))
        t.answer = Answer::AnyAddress;
    else if (request.size() == 4 && request[1] == 'A' && request[3] == '!')
        t.address = request[2]; // the sensor answers from its new address
    else if (!request.isEmpty())
        t.address = request[0];
    t.request = std::move(request);
    return t;
}

qsizetype replyStart(const Transaction& transaction, const QByteArray& line) {
    if (transaction.answer == Transaction::Answer::AnyLine)
        return 0;
    if (transaction.request.isEmpty())
        return -1;
    for (qsizetype at = line.indexOf(transaction.request); at >= 0;
         at = line.indexOf(transaction.request, at + 1)) {
        const qsizetype after = at + transaction.request.size();
        if (after >= line.size())
            return -1;
        const char c = line[after];
        if (transaction.answer == Transaction::Answer::AnyAddress ? isAddressCharacter(c)
                                                                  : c == transaction.address)
            return at;
    }
    return -1;
}

} // namespace sdilink
