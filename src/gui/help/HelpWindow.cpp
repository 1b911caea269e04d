#include "HelpWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace help {

namespace {

// The guide's pictures are screenshots of whole windows: shown no wider than the text
// beside the contents list usually is, so that they read without a sideways scroll bar.
class GuideBrowser final : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override {
        QVariant resource = QTextBrowser::loadResource(type, name);
        constexpr int kWidest = 640;
        if (type == QTextDocument::ImageResource) {
            QImage picture = resource.value<QImage>();
            if (picture.isNull())
                picture.loadFromData(resource.toByteArray());
            if (picture.width() > kWidest)
                return picture.scaledToWidth(kWidest, Qt::SmoothTransformation);
        }
        return resource;
    }
};

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Help - SDI-12 Device Configuration Tool"));
    setModal(false);

    GuideText = new GuideBrowser(this);
    GuideText->setObjectName(QStringLiteral("GuideText"));
    GuideText->setAccessibleName(QStringLiteral("User guide"));
    // Links are followed here: inside the guide they name a heading, not a file.
    GuideText->setOpenLinks(false);
    GuideText->setSource(QUrl(QStringLiteral("qrc:/help/guide.md")),
                         QTextDocument::MarkdownResource);
    connect(GuideText, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);

    FindText = new QLineEdit(this);
    FindText->setObjectName(QStringLiteral("FindText"));
    FindText->setAccessibleName(QStringLiteral("Find"));
    FindText->setPlaceholderText(QStringLiteral("Find in the guide"));
    FindText->setClearButtonEnabled(true);
    connect(FindText, &QLineEdit::returnPressed, this, &HelpWindow::findNext);
    NotFoundLabel = new QLabel(QStringLiteral("Not found."), this);
    NotFoundLabel->setObjectName(QStringLiteral("NotFoundLabel"));
    NotFoundLabel->hide();

    GuideContents = new QTreeWidget(this);
    GuideContents->setObjectName(QStringLiteral("GuideContents"));
    GuideContents->setAccessibleName(QStringLiteral("Contents"));
    GuideContents->setHeaderHidden(true);
    connect(GuideContents, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { showPosition(item->data(0, Qt::UserRole).toInt()); });
    connect(GuideContents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { showPosition(item->data(0, Qt::UserRole).toInt()); });
    outline_ = headings(*GuideText->document());
    fillContents();

    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(FindText);
    sideLayout->addWidget(NotFoundLabel);
    sideLayout->addWidget(GuideContents, 1);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(side);
    splitter->addWidget(GuideText);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({300, 660});

    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CloseBut"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(960, 660);
}

// The title is the tree's root; every heading hangs under the nearest one above it of a
// lower level.
void HelpWindow::fillContents() {
    std::vector<std::pair<int, QTreeWidgetItem*>> open; // level, item
    for (const Heading& h : outline_) {
        while (!open.empty() && open.back().first >= h.level)
            open.pop_back();
        auto* item = open.empty() ? new QTreeWidgetItem(GuideContents)
                                  : new QTreeWidgetItem(open.back().second);
        item->setText(0, h.title);
        item->setData(0, Qt::UserRole, h.position);
        open.emplace_back(h.level, item);
    }
    GuideContents->expandAll();
}

bool HelpWindow::showHeading(const QString& title) {
    for (const Heading& h : outline_) {
        if (h.title == title) {
            showPosition(h.position);
            return true;
        }
    }
    return false;
}

void HelpWindow::showPosition(int position) {
    QTextCursor cursor(GuideText->document());
    cursor.setPosition(position);
    GuideText->setTextCursor(cursor);
    const QTextBlock block = GuideText->document()->findBlock(position);
    const QRectF area = GuideText->document()->documentLayout()->blockBoundingRect(block);
    GuideText->verticalScrollBar()->setValue(static_cast<int>(area.top()));
}

void HelpWindow::followLink(const QUrl& url) {
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) {
        QDesktopServices::openUrl(url);
        return;
    }
    if (const Heading* h = headingForAnchor(outline_, url.fragment()))
        showPosition(h->position);
}

// Finds the next place after the cursor, starting again at the top when the end is reached.
void HelpWindow::findNext() {
    const QString text = FindText->text();
    bool found = !text.isEmpty() && GuideText->find(text);
    if (!text.isEmpty() && !found) {
        GuideText->moveCursor(QTextCursor::Start);
        found = GuideText->find(text);
    }
    NotFoundLabel->setVisible(!text.isEmpty() && !found);
}

} // namespace help
