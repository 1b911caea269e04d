#include "ManualScheduler.h"
#include "SchedulerTimers.h"
#include "platform/PaintPacer.h"

#include <QAction>
#include <QActionEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

namespace {

// The pacer's timer, on a clock that moves only when told to.
struct HandTimers {
    sim::ManualScheduler clock;
    sim::SchedulerTimers timers{clock};
    void fire() { clock.advanceBy(sim::milliseconds(250)); }
};

// Counts the events of some kinds that reach an object.
struct Seen final : QObject {
    explicit Seen(QObject* watched, QList<QEvent::Type> kinds) : kinds(std::move(kinds)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (kinds.contains(event->type()))
            ++count;
        return false;
    }
    QList<QEvent::Type> kinds;
    int count = 0;
};

struct Window {
    Window() {
        auto* central = new QWidget(&main);
        auto* layout = new QVBoxLayout(central);
        button = new QPushButton(QStringLiteral("Query"), central);
        text = new QLineEdit(central);
        list = new QListWidget(central);
        for (int row = 0; row < 50; ++row)
            list->addItem(QStringLiteral("Sensor"));
        // Disabled, a control with the focus gives it away, which is drawn.
        button->setFocusPolicy(Qt::NoFocus);
        text->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(button);
        layout->addWidget(text);
        layout->addWidget(list);
        main.setCentralWidget(central);
        menu = main.menuBar()->addMenu(QStringLiteral("&Port"))->menuAction();
        main.resize(300, 200);
        main.show();
    }
    QMainWindow main;
    QPushButton* button;
    QLineEdit* text;
    QListWidget* list;
    QAction* menu;
};

} // namespace

class PaintPacerTest : public QObject {
    Q_OBJECT
private slots:
    void controlsToggledBackAreNotDrawnAgain();
    void controlsHeldWhileTheWindowIsDrawnAsUsual();
    void buttonHeldDownIsReleasedAtOnce();
    void menusToggledBackAreNotRelaidOut();
    void costlyDrawingsComeLessOften();
};

// A page locked and unlocked between two drawings looks as it did: nothing is drawn again.
// A control left in the other state is drawn with the next drawing, and nothing is held back
// outside a chain of requests.
void PaintPacerTest::controlsToggledBackAreNotDrawnAgain() {
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.main));
    HandTimers timers;
    bool holding = false;
    platform::PaintPacer pacer(
        &w.main, timers.timers, [&] { return holding; }, 250, [] { return 0.0; });
    Seen buttonPaints(w.button, {QEvent::Paint});
    Seen textChanges(w.text, {QEvent::EnabledChange});
    Seen barChanges(w.list->verticalScrollBar(), {QEvent::EnabledChange});
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    w.main.repaint(); // nothing left to draw
    buttonPaints.count = 0;
    holding = true;
    for (int request = 0; request < 5; ++request) {
        w.button->setEnabled(false);
        w.text->setEnabled(false);
        w.list->setEnabled(false);
        QVERIFY(!w.button->isEnabled()); // the state itself changes at once
        w.button->setEnabled(true);
        w.text->setEnabled(true);
        w.list->setEnabled(true);
    }
    QCoreApplication::processEvents();
    timers.fire();
    QCoreApplication::processEvents();
    QCOMPARE(buttonPaints.count, 0);
    QCOMPARE(textChanges.count, 0);
    QCOMPARE(barChanges.count, 0); // a list's scroll bar follows the list

    w.text->setEnabled(false);
    w.text->setEnabled(true);
    w.text->setEnabled(false);
    timers.fire();
    QCOMPARE(textChanges.count, 1);
    QVERIFY(!w.text->isEnabled());

    holding = false;
    w.text->setEnabled(true);
    QCOMPARE(textChanges.count, 2);
    w.button->setEnabled(false);
    QVERIFY(QTest::qWaitFor([&] { return buttonPaints.count > 0; }));
}

// A running log's readings: its page locked and unlocked again is not drawn, while what the
// reading changes (and anything the user does) is drawn at once. A lock that lasts half a
// second is drawn.
void PaintPacerTest::controlsHeldWhileTheWindowIsDrawnAsUsual() {
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.main));
    HandTimers timers;
    platform::PaintPacer pacer(
        &w.main, timers.timers, [] { return false; }, 250, [] { return 0.0; });
    bool reading = true;
    pacer.holdControlsWhile([&] { return reading; });
    Seen buttonPaints(w.button, {QEvent::Paint});
    Seen textPaints(w.text, {QEvent::Paint});
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    w.main.repaint();
    buttonPaints.count = 0;
    textPaints.count = 0;

    w.button->setEnabled(false);
    w.text->setText(QStringLiteral("12.5"));
    QVERIFY(QTest::qWaitFor([&] { return textPaints.count > 0; }));
    w.button->setEnabled(true);
    pacer.flush(); // the bus is free
    QCoreApplication::processEvents();
    QCOMPARE(buttonPaints.count, 0);

    w.button->setEnabled(false);
    timers.fire(); // 250 ms: a reading may still be over within half a second
    QCoreApplication::processEvents();
    QCOMPARE(buttonPaints.count, 0);
    timers.fire();
    QVERIFY(QTest::qWaitFor([&] { return buttonPaints.count > 0; }));

    reading = false;
    textPaints.count = 0;
    w.text->setEnabled(false);
    QVERIFY(QTest::qWaitFor([&] { return textPaints.count > 0; }));
}

// The mouse holding a button down when the lock disables it: released then, as without the
// pacer, so letting go over it later is no click.
void PaintPacerTest::buttonHeldDownIsReleasedAtOnce() {
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.main));
    HandTimers timers;
    platform::PaintPacer pacer(
        &w.main, timers.timers, [] { return true; }, 250, [] { return 0.0; });
    int clicks = 0;
    connect(w.button, &QPushButton::clicked, [&] { ++clicks; });
    QTest::mousePress(w.button, Qt::LeftButton);
    QVERIFY(w.button->isDown());
    w.button->setEnabled(false);
    QVERIFY(!w.button->isDown());
    w.button->setEnabled(true);
    QTest::mouseRelease(w.button, Qt::LeftButton);
    QCOMPARE(clicks, 0);
}

// The menu bar lays its menus out again for each change of one; a menu disabled and enabled
// again between two drawings is not news to it, a menu enabled again is drawn enabled without
// being laid out again, a menu renamed is news.
void PaintPacerTest::menusToggledBackAreNotRelaidOut() {
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.main));
    HandTimers timers;
    platform::PaintPacer pacer(
        &w.main, timers.timers, [] { return true; }, 250, [] { return 0.0; });
    Seen told(w.main.menuBar(), {QEvent::ActionChanged});
    Seen drawn(w.main.menuBar(), {QEvent::Paint});

    w.menu->setEnabled(false); // the first change of a menu always goes through
    QCOMPARE(told.count, 1);
    w.menu->setEnabled(true);
    w.menu->setEnabled(false);
    QCOMPARE(told.count, 1);
    timers.fire();
    QCOMPARE(told.count, 1);

    QCoreApplication::processEvents(); // what is still to be drawn
    timers.fire();
    drawn.count = 0;
    w.menu->setEnabled(true);
    timers.fire();
    QCOMPARE(told.count, 1);
    QCoreApplication::processEvents(); // the menu bar's request to be drawn, held
    timers.fire();
    QCOMPARE(drawn.count, 1);

    w.menu->setText(QStringLiteral("&Ports"));
    QCOMPARE(told.count, 2);
}

// A drawing that costs the processor more than half a percent of the interval puts the next
// one further off, never more than a second; a cheap one keeps the interval.
void PaintPacerTest::costlyDrawingsComeLessOften() {
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.main));
    HandTimers timers;
    Seen drawings(&w.main, {QEvent::UpdateRequest});
    double drawingCostMs = 4; // what each drawing costs the processor
    platform::PaintPacer pacer(
        &w.main, timers.timers, [] { return true; }, 250,
        [&] { return drawings.count * drawingCostMs; });
    const auto changeAndWait = [&](int ms) {
        w.text->setText(QString::number(ms));
        QCoreApplication::processEvents();
        timers.clock.advanceBy(sim::milliseconds(ms));
    };
    changeAndWait(250);
    QCOMPARE(drawings.count, 1);
    QCOMPARE(pacer.intervalMs(), 800);
    changeAndWait(799);
    QCOMPARE(drawings.count, 1);
    timers.clock.advanceBy(sim::milliseconds(1));
    QCOMPARE(drawings.count, 2);
    drawingCostMs = 40;
    changeAndWait(800);
    QCOMPARE(pacer.intervalMs(), 1000);
    drawingCostMs = 0.5;
    changeAndWait(1000);
    QCOMPARE(drawings.count, 4);
    QCOMPARE(pacer.intervalMs(), 250);
    // What the benchmarks report of them.
    QCOMPARE(pacer.drawings(), 4);
    QCOMPARE(pacer.drawingMs(), 4 + 4 + 40 + 0.5);
}

QTEST_MAIN(PaintPacerTest)
#include "tst_paintpacer.moc"
