#pragma once

#include <QString>
#include <vector>

class QTextDocument;

namespace help {

// A heading of the guide: its level (1 for the title), its text and where its block starts.
struct Heading {
    int level = 0;
    QString title;
    int position = 0;
};

// The headings of a document read from Markdown, in document order.
std::vector<Heading> headings(const QTextDocument& document);

// The anchor a Markdown link uses for a heading, as code hosting sites make it: lower case,
// punctuation dropped, blanks turned into hyphens ("Serial ports and the settings file" ->
// "serial-ports-and-the-settings-file").
QString anchorFor(const QString& title);

// The heading a link's anchor names, or nullptr.
const Heading* headingForAnchor(const std::vector<Heading>& all, const QString& anchor);

} // namespace help
