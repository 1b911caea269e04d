#include "GuideOutline.h"

#include <QTextBlock>
#include <QTextDocument>

namespace help {

std::vector<Heading> headings(const QTextDocument& document) {
    std::vector<Heading> result;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level > 0)
            result.push_back({level, block.text().trimmed(), block.position()});
    }
    return result;
}

QString anchorFor(const QString& title) {
    QString anchor;
    for (const QChar c : title.toLower()) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'))
            anchor += c;
        else if (c == QLatin1Char(' '))
            anchor += QLatin1Char('-');
    }
    return anchor;
}

const Heading* headingForAnchor(const std::vector<Heading>& all, const QString& anchor) {
    for (const Heading& h : all)
        if (anchorFor(h.title) == anchor)
            return &h;
    return nullptr;
}

} // namespace help
