#include "gui/widgets/Controls.h"
#include "gui/widgets/DropDown.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <array>

class TestControls : public QObject {
    Q_OBJECT
private slots:
    // The closed list is left out of the drop-down's enable changes; opened, it is usable
    // after any of them and however it closed last, and unusable in a disabled drop-down.
    void listWorksAfterEnableChangesWhileClosed() {
        widgets::DropDown box;
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

    // A page switched to is drawn with what its controls hold, also what changed while it
    // was hidden, by the user's click as by the program.
    void pageSwitchedToIsDrawn() {
        struct Painted final : QObject {
            bool eventFilter(QObject* watched, QEvent* event) override {
                if (event->type() == QEvent::Paint)
                    texts << static_cast<QLabel*>(watched)->text();
                return false;
            }
            QStringList texts;
        } painted;
        QTabWidget tabs;
        std::array<QLabel*, 3> labels{};
        for (QLabel*& label : labels) {
            tabs.addTab(label = new QLabel(QStringLiteral("as built")), QStringLiteral("Page"));
            label->installEventFilter(&painted);
        }
        widgets::drawShownPageOnly(&tabs);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        labels[2]->setText(QStringLiteral("changed while hidden"));
        tabs.setCurrentIndex(2);
        QTRY_VERIFY(painted.texts.contains(labels[2]->text()));
        labels[0]->setText(QStringLiteral("changed too"));
        QTest::mouseClick(tabs.tabBar(), Qt::LeftButton, {}, tabs.tabBar()->tabRect(0).center());
        QCOMPARE(tabs.currentIndex(), 0);
        QTRY_VERIFY(painted.texts.contains(labels[0]->text()));
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
