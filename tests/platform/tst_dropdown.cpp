#include "platform/DropDown.h"

#include <QAbstractItemView>
#include <QTest>

class TestDropDown : public QObject {
    Q_OBJECT
private slots:
    // The closed list is left out of the drop-down's enable changes; opened, it is usable
    // after any of them and however it closed last, and unusable in a disabled drop-down.
    void listWorksAfterEnableChangesWhileClosed() {
        platform::DropDown box;
        for (const char* entry : {"psi", "bar", "kPa"})
            box.addEntry(QString::fromLatin1(entry), 0);
        box.show();
        const auto choose = [&](int row, Qt::Key key) {
            box.setEnabled(false);
            box.setEnabled(true);
            box.showPopup();
            QAbstractItemView* list = box.view();
            const bool usable = list->isVisible() && list->isEnabled();
            list->setCurrentIndex(list->model()->index(row, 0));
            QTest::keyClick(list, key);
            return usable && !list->isVisible();
        };
        QVERIFY(choose(2, Qt::Key_Return));
        QCOMPARE(box.currentIndex(), 2);
        QVERIFY(choose(1, Qt::Key_Escape));
        QVERIFY(choose(1, Qt::Key_Return));
        QCOMPARE(box.currentIndex(), 1);
        box.setEnabled(false);
        box.showPopup();
        QVERIFY(!box.view()->isEnabled());
    }
};

QTEST_MAIN(TestDropDown)
#include "tst_dropdown.moc"
