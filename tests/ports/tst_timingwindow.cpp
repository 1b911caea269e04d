#include "Fixtures.h"
#include "core/link/Link.h"
#include "gui/app/TimingWindow.h"

#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

using app::TimingWindow;
using sdilink::Link;

class TimingWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void names();
    void keyFilter_data();
    void keyFilter();
    void pasteLeavesOutRefusedCharacters();
    void apply_data();
    void apply();
    void refusesValuesThatDoNotFit_data();
    void refusesValuesThatDoNotFit();
    void defaultAppliesWithoutStoring();
    void storedValuesKeepWhatDoesNotFit();

private:
    QLineEdit* box(const QString& name) const { return window->findChild<QLineEdit*>(name); }

    std::unique_ptr<testing::TestServices> t;
    std::unique_ptr<Link> link;
    std::unique_ptr<TimingWindow> window;
    int beeps = 0;
    int stores = 0;
};

void TimingWindowTest::init() {
    t = std::make_unique<testing::TestServices>();
    const app::AppServices s = t->services();
    link = std::make_unique<Link>(*s.port, s.pause, s.clock);
    beeps = 0;
    stores = 0;
    link->setBeeper([this] { ++beeps; });
    window = std::make_unique<TimingWindow>(*link, t->dialogs);
    window->setStoreSettings([this] { ++stores; });
}

void TimingWindowTest::cleanup() {
    window.reset();
    link.reset();
    t.reset();
}

void TimingWindowTest::names() {
    QCOMPARE(window->windowTitle(), QStringLiteral("Timing Settings"));
    QCOMPARE(window->objectName(), QStringLiteral("Timing"));
    QCOMPARE(box("BreakText")->text(), QStringLiteral("20"));
    QCOMPARE(box("MarkText")->text(), QStringLiteral("15"));
    QCOMPARE(box("TimeoutText")->text(), QStringLiteral("400"));
    QCOMPARE(box("DataTimeoutText")->text(), QStringLiteral("200"));
    QCOMPARE(window->findChild<QPushButton*>("butApply")->text(), QStringLiteral("Apply"));
    QCOMPARE(window->findChild<QPushButton*>("butDefault")->text(), QStringLiteral("Default"));
}

void TimingWindowTest::keyFilter_data() {
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text"); // what the key types
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("beeps");
    QTest::newRow("letter refused") << "BreakText" << int(Qt::Key_A) << "a"
                                    << "20" << 1;
    QTest::newRow("digit taken") << "MarkText" << int(Qt::Key_7) << "7"
                                 << "157" << 0;
    QTest::newRow("point taken") << "TimeoutText" << int(Qt::Key_Period) << "."
                                 << "400." << 0;
    QTest::newRow("percent refused") << "DataTimeoutText" << int(Qt::Key_Percent) << "%"
                                     << "200" << 1;
    QTest::newRow("apostrophe refused") << "BreakText" << int(Qt::Key_Apostrophe) << "'"
                                        << "20" << 1;
    QTest::newRow("form feed refused") << "BreakText" << int(Qt::Key_unknown) << "\f"
                                       << "20" << 1;
    QTest::newRow("return passes") << "MarkText" << int(Qt::Key_Return) << "\r"
                                   << "15" << 0;
    QTest::newRow("minus refused") << "BreakText" << int(Qt::Key_Minus) << "-"
                                   << "20" << 1;
    QTest::newRow("blank refused") << "MarkText" << int(Qt::Key_Space) << " "
                                   << "15" << 1;
    QTest::newRow("comma refused") << "MarkText" << int(Qt::Key_Comma) << ","
                                   << "15" << 1;
    QTest::newRow("backspace edits") << "TimeoutText" << int(Qt::Key_Backspace) << "\b"
                                     << "40" << 0;
    QTest::newRow("arrow moves") << "TimeoutText" << int(Qt::Key_Left) << ""
                                 << "400" << 0;
}

void TimingWindowTest::keyFilter() {
    QFETCH(QString, boxName);
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(QString, after);
    QFETCH(int, beeps);
    QLineEdit* edit = box(boxName);
    edit->setFocus();
    edit->end(false);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(edit, &press);
    QCOMPARE(edit->text(), after);
    QCOMPARE(this->beeps, beeps);
}

void TimingWindowTest::pasteLeavesOutRefusedCharacters() {
    QApplication::clipboard()->setText("5 ms, 1'0%");
    window->TimeoutText->end(false);
    window->TimeoutText->paste();
    QCOMPARE(window->TimeoutText->text(), QStringLiteral("400510"));
    QCOMPARE(beeps, 1);
}

void TimingWindowTest::apply_data() {
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("breakMs");
    QTest::addColumn<int>("markMs");
    QTest::addColumn<int>("dataMs");
    QTest::addColumn<int>("commandMs");
    QTest::newRow("break 20.5 halves to even") << "BreakText"
                                               << "20.5" << 20 << 15 << 200 << 400;
    QTest::newRow("break 21.5 halves to even") << "BreakText"
                                               << "21.5" << 22 << 15 << 200 << 400;
    QTest::newRow("break not a number") << "BreakText"
                                        << "x" << 0 << 15 << 200 << 400;
    QTest::newRow("mark with percent") << "MarkText"
                                       << "12%" << 20 << 12 << 200 << 400;
    QTest::newRow("data time-out") << "DataTimeoutText"
                                   << "250.4" << 20 << 15 << 250 << 400;
    QTest::newRow("command time-out") << "TimeoutText"
                                      << "1000" << 20 << 15 << 200 << 1000;
    QTest::newRow("largest value") << "TimeoutText"
                                   << "32767.4" << 20 << 15 << 200 << 32767;
}

void TimingWindowTest::apply() {
    QFETCH(QString, boxName);
    QFETCH(QString, text);
    QFETCH(int, breakMs);
    QFETCH(int, markMs);
    QFETCH(int, dataMs);
    QFETCH(int, commandMs);
    box(boxName)->setText(text);
    window->butApply->click();
    QCOMPARE(link->timings().BreakTiming, breakMs);
    QCOMPARE(link->timings().MarkTiming, markMs);
    QCOMPARE(link->timings().DataTimeout, dataMs);
    QCOMPARE(link->timings().CommandTimeout, commandMs);
    QCOMPARE(stores, 1);
    QVERIFY(t->dialogs.boxes.isEmpty());
}

void TimingWindowTest::refusesValuesThatDoNotFit_data() {
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label");
    QTest::newRow("break above 32767") << "BreakText"
                                       << "32768"
                                       << "Break Timing (mS)";
    QTest::newRow("mark rounds above") << "MarkText"
                                       << "32767.5"
                                       << "Mark Timing (mS)";
    QTest::newRow("data time-out huge") << "DataTimeoutText"
                                        << "1e9"
                                        << "Data Timeout (mS)";
    QTest::newRow("command time-out above 16 bits") << "TimeoutText"
                                                    << "40000"
                                                    << "Command Timeout (mS)";
    // A command time-out of 0 would let a silent sensor hold the bus for ever.
    QTest::newRow("command time-out 0") << "TimeoutText"
                                        << "0.4"
                                        << "Command Timeout (mS)";
    QTest::newRow("command time-out empty") << "TimeoutText"
                                            << ""
                                            << "Command Timeout (mS)";
    QTest::newRow("negative pasted") << "BreakText"
                                     << "-5"
                                     << "Break Timing (mS)";
}

void TimingWindowTest::refusesValuesThatDoNotFit() {
    QFETCH(QString, boxName);
    QFETCH(QString, text);
    QFETCH(QString, label);
    // A valid change in another box must not slip through either.
    window->DataTimeoutText->setText(boxName == "DataTimeoutText" ? text : "300");
    box(boxName)->setText(text);
    window->butApply_Click();

    QCOMPARE(link->timings().BreakTiming, 20);
    QCOMPARE(link->timings().MarkTiming, 15);
    QCOMPARE(link->timings().DataTimeout, 200);
    QCOMPARE(link->timings().CommandTimeout, 400);
    QCOMPARE(stores, 0);
    QCOMPARE(t->dialogs.boxes.size(), 1);
    const auto& shown = t->dialogs.boxes.first();
    QCOMPARE(shown.title, QStringLiteral("Timing Settings."));
    QVERIFY2(shown.text.contains('"' + label + '"'), qPrintable(shown.text));
    QCOMPARE(shown.icon, platform::Dialogs::Icon::Exclamation);
}

void TimingWindowTest::defaultAppliesWithoutStoring() {
    window->BreakText->setText("50");
    window->MarkText->setText("60");
    window->DataTimeoutText->setText("70");
    window->TimeoutText->setText("80");
    window->butApply_Click();
    QCOMPARE(stores, 1);

    window->butDefault->click();
    QCOMPARE(window->BreakText->text(), QStringLiteral("20"));
    QCOMPARE(window->MarkText->text(), QStringLiteral("15"));
    QCOMPARE(window->DataTimeoutText->text(), QStringLiteral("200"));
    QCOMPARE(window->TimeoutText->text(), QStringLiteral("400"));
    QCOMPARE(link->timings().BreakTiming, 20);
    QCOMPARE(link->timings().MarkTiming, 15);
    QCOMPARE(link->timings().DataTimeout, 200);
    QCOMPARE(link->timings().CommandTimeout, 400);
    QCOMPARE(stores, 1);
}

void TimingWindowTest::storedValuesKeepWhatDoesNotFit() {
    window->BreakText->setText("33.5"); // typed, not applied: stored as typed
    window->TimeoutText->setText("99999");
    const TimingWindow::Values v = window->storedValues();
    QCOMPARE(v.BreakTiming, 34);
    QCOMPARE(v.MarkTiming, 15);
    QCOMPARE(v.DataTimeout, 200);
    QCOMPARE(v.CommandTimeout, 400); // the value in effect
}

QTEST_MAIN(TimingWindowTest)
#include "tst_timingwindow.moc"
