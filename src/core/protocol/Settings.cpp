#include "Settings.h"

namespace protocol {

namespace {

// "Local Gravity", "local-gravity" and "LOCAL  GRAVITY" alike; a unit in parentheses may be
// left out ("Pulley Circumference (mm)", "pulley-circumference").
QString nameKey(QStringView name) {
    QString key;
    bool gap = false;
    int inParentheses = 0;
    for (const QChar c : name) {
        if (c == QLatin1Char('(') || c == QLatin1Char(')')) {
            inParentheses += c == QLatin1Char('(') ? 1 : (inParentheses > 0 ? -1 : 0);
            gap = !key.isEmpty();
            continue;
        }
        if (inParentheses > 0)
            continue;
        if (c.isSpace() || c == QLatin1Char('-') || c == QLatin1Char('_')) {
            gap = !key.isEmpty();
            continue;
        }
        if (gap)
            key += QLatin1Char(' ');
        gap = false;
        key += c.toLower();
    }
    return key;
}

} // namespace

bool numberCharacterFits(QChar c, const QString& typed, NumberRule rule) {
    if (typed.size() >= kNumberBoxLength)
        return false;
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return true;
    if (u == u'.')
        return !typed.contains(QLatin1Char('.'));
    const bool signedBefore = typed.contains(QLatin1Char('-')) || typed.contains(QLatin1Char('+'));
    switch (rule) {
    case NumberRule::Unsigned:
        return false;
    case NumberRule::Signed:
        return u == u'-' && !typed.contains(QLatin1Char('-'));
    case NumberRule::PlusOrMinus:
        return (u == u'-' || u == u'+') && !signedBefore;
    }
    return false;
}

bool sameSettingName(QStringView a, QStringView b) {
    return nameKey(a) == nameKey(b);
}

const Setting* findSetting(std::span<const Setting> table, QStringView name) {
    const QString key = nameKey(name);
    for (const Setting& s : table)
        if (nameKey(s.label) == key)
            return &s;
    return nullptr;
}

QString refusal(const Setting& setting, const QString& value, bool unlocked) {
    if (setting.isList())
        return setting.entries.contains(value)
                   ? QString()
                   : QStringLiteral("\"%1\" is not in the list of %2.").arg(value, setting.what);
    if (setting.needsUnlock && !unlocked)
        return QStringLiteral("Needs \"Unlock\" ticked on the page, as its Set does.");
    if (value.isEmpty())
        return QStringLiteral("The file gives no value.");
    if (value.size() > kNumberBoxLength)
        return QStringLiteral("\"%1\" is longer than the page's box takes (%2 characters).")
            .arg(value)
            .arg(kNumberBoxLength);
    QString typed;
    for (const QChar c : value) {
        if (!numberCharacterFits(c, typed, setting.rule))
            return QStringLiteral("\"%1\" is not a number the page's box takes.").arg(value);
        typed += c;
    }
    return {};
}

std::optional<int> entryIndex(const Setting& setting, const QString& value) {
    const qsizetype index = setting.entries.indexOf(value);
    return index < 0 ? std::nullopt : std::optional<int>(static_cast<int>(index));
}

QString sentNumber(const Setting& setting, const QString& value) {
    return setting.addsZero && value.startsWith(QLatin1Char('.')) ? QLatin1Char('0') + value
                                                                  : value;
}

} // namespace protocol
