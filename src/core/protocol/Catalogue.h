#pragma once

#include "core/link/Code.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace protocol {

using sdilink::Code;

// Every transaction the tool sends: its code, its letters and the form of its value. A
// request is the address character, the letters, the value and "!", in ASCII, with no CR or
// LF.
class Catalogue {
public:
    enum class Value {
        None,   // no value
        Digit,  // one character: a list index, a flag, a check box's value
        Code,   // a list entry's item code, one digit up to 9, else two
        Text,   // characters copied as given
        Fixed,  // literal characters, always the same
        Filter, // "0,nn,mmmm": number of readings and reading interval
    };

    struct Entry {
        Code code;
        const char* letters;
        Value value;
        const char* fixed; // the literal value of a Fixed entry
    };

    // The entry of a code, or null for a code that is never sent.
    static const Entry* entry(Code code);

    // The request of `code` for the sensor page (0-9). The value must fit the code's form:
    // Digit takes one character, Code takes digits from codeValue(), Text any text,
    // Filter the text from filterValue(); None and Fixed ignore it.
    static QByteArray request(int page, Code code, const QByteArray& value = {});

    // Value builders. codeValue() refuses codes outside 0-99; filterValue() refuses readings
    // outside 0-99 and intervals outside 0-9999.
    static QByteArray digitValue(int digit);
    static std::optional<QByteArray> codeValue(int itemCode);
    static QByteArray textValue(const QString& text);
    static std::optional<QByteArray> filterValue(int readings, int interval);
};

} // namespace protocol
