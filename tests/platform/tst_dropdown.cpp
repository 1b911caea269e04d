#include "platform/DropDown.h"

#include <QAbstractItemView>
#include <QTest>

class TestDropDown : public QObject {
    Q_OBJECT
private slots:
    void listWorksAfterEnableChangesWhileClosed();
};

// The list is left out of the drop-down's enable changes while it is closed; opened, it is
// usable however often the drop-down was disabled and enabled and however it closed last,
// and a disabled drop-down's list stays unusable.
void TestDropDown::listWorksAfterEnableChangesWhileClosed() {
    platform::DropDown box;
    for (const char* entry : {"psi", "bar", "kPa"})
        box.addEntry(QString::fromLatin1(entry), 0);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));

    const auto choose = [&](int downs) {
        box.showPopup();
        QAbstractItemView* list = box.view();
        if (!list->isVisible() || !list->isEnabled())
            return false;
        list->setCurrentIndex(list->model()->index(0, 0));
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        return !list->isVisible();
    };

    QVERIFY(choose(2));
    QCOMPARE(box.currentIndex(), 2);
    box.setEnabled(false);
    box.setEnabled(true);
    QVERIFY(choose(1));
    QCOMPARE(box.currentIndex(), 1);

    box.showPopup(); // closed by Escape this time
    QTest::keyClick(box.view(), Qt::Key_Escape);
    box.setEnabled(false);
    box.setEnabled(true);
    QVERIFY(choose(0));
    QCOMPARE(box.currentIndex(), 0);

    box.setEnabled(false);
    box.showPopup();
    QVERIFY(!box.view()->isEnabled());
    box.hidePopup();
}

QTEST_MAIN(TestDropDown)
#include "tst_dropdown.moc"
