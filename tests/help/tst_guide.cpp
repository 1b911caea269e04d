#include "gui/help/GuideOutline.h"
#include "gui/help/HelpWindow.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>

using help::HelpWindow;

class GuideTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyLinkFindsItsHeading();
    void everyPictureIsInTheProgram();
    void contentsFollowTheHeadings();
    void findWrapsAndSaysWhenNothingIsFound();
};

// A link inside the guide whose heading was renamed would lead nowhere.
void GuideTest::everyLinkFindsItsHeading() {
    HelpWindow window;
    int links = 0;
    for (QTextBlock b = window.GuideText->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isAnchor())
                continue;
            ++links;
            const QUrl url(f.anchorHref());
            QVERIFY2(help::headingForAnchor(window.outline(), url.fragment()),
                     qPrintable(f.anchorHref()));
            // Following the link shows that heading at the top.
            Q_EMIT window.GuideText->anchorClicked(url);
            QCOMPARE(help::anchorFor(window.GuideText->textCursor().block().text()),
                     url.fragment());
        }
    }
    QVERIFY(links > 0);
}

// A picture the guide names but the program lacks would show as an empty frame.
void GuideTest::everyPictureIsInTheProgram() {
    HelpWindow window;
    int pictures = 0;
    for (QTextBlock b = window.GuideText->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat())
                continue;
            ++pictures;
            const QString name = f.toImageFormat().name();
            const QVariant data =
                window.GuideText->document()->resource(QTextDocument::ImageResource, QUrl(name));
            QImage image = data.value<QImage>();
            if (image.isNull())
                image = QImage::fromData(data.toByteArray());
            QVERIFY2(!image.isNull(), qPrintable(name));
            QVERIFY2(image.width() <= 640, qPrintable(name)); // no sideways scrolling
        }
    }
    QVERIFY(pictures > 0);
}

void GuideTest::contentsFollowTheHeadings() {
    HelpWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // One title at the root, the sections under it, subsections under their section.
    QCOMPARE(window.GuideContents->topLevelItemCount(), 1);
    QTreeWidgetItem* title = window.GuideContents->topLevelItem(0);
    QCOMPARE(title->text(0), QStringLiteral("sdi12-config user guide"));
    QTreeWidgetItem* logging = nullptr;
    for (int i = 0; i < title->childCount(); ++i)
        if (title->child(i)->text(0) == QStringLiteral("Readings and logging"))
            logging = title->child(i);
    QVERIFY(logging);
    QCOMPARE(logging->child(0)->text(0), QStringLiteral("Plotting a log"));

    QScrollBar* scroll = window.GuideText->verticalScrollBar();
    QCOMPARE(scroll->value(), 0);
    const QRect row = window.GuideContents->visualItemRect(logging);
    QTest::mouseClick(window.GuideContents->viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(window.GuideText->textCursor().block().text(), QStringLiteral("Readings and logging"));
    QVERIFY(scroll->value() > 0);
}

void GuideTest::findWrapsAndSaysWhenNothingIsFound() {
    HelpWindow window;
    window.showHeading(QStringLiteral("Command line")); // the last section
    window.FindText->setText(QStringLiteral("servicemode"));
    QTest::keyClick(window.FindText, Qt::Key_Return);
    // Found above the cursor, after starting again at the top.
    QCOMPARE(window.GuideText->textCursor().selectedText(), QStringLiteral("SERVICEMODE"));
    QVERIFY(window.NotFoundLabel->isHidden());

    window.FindText->setText(QStringLiteral("no such words here"));
    QTest::keyClick(window.FindText, Qt::Key_Return);
    QVERIFY(!window.NotFoundLabel->isHidden());
}

QTEST_MAIN(GuideTest)
#include "tst_guide.moc"
