#pragma once

#include "GuideOutline.h"

#include <QDialog>
#include <vector>

class QLabel;
class QLineEdit;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

namespace help {

// The user guide in a text browser, with a contents list made from the guide's headings and
// a box that finds a word in it. Links inside the guide jump to the heading they name.
class HelpWindow final : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Scrolls the guide so that the heading starts at the top; false when there is none.
    bool showHeading(const QString& title);
    const std::vector<Heading>& outline() const { return outline_; }

    QTextBrowser* GuideText;
    QTreeWidget* GuideContents;
    QLineEdit* FindText;
    QLabel* NotFoundLabel;

private:
    void fillContents();
    void showPosition(int position);
    void followLink(const QUrl& url);
    void findNext();

    std::vector<Heading> outline_;
};

} // namespace help
