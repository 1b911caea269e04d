#include "LevelFixture.h"
#include "gui/widgets/DropDown.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTest>

using levelprobe::LevelCommands;
using levelprobe::LevelPage;
using levelprobe::LevelSensors;
using sdilink::Code;

class LevelCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void buttonsSendTheirRequest_data();
    void buttonsSendTheirRequest();
    void rangeOnLockedSensorWarnsThenSends();
    void refusals_data();
    void refusals();
    void levelOffsetAsksFirst();
    void keyFilters_data();
    void keyFilters();
    void fullBoxTakesTypingOverASelection();
    void editingKeysPass_data();
    void editingKeysPass();
    void pastedTextIsFiltered_data();
    void pastedTextIsFiltered();
    void receivedTextIsNotFiltered();
    void leadingDotCorrection();
    void reciprocal_data();
    void reciprocal();
};

void LevelCommandsTest::buttonsSendTheirRequest_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("setup"); // control=value, applied before the click
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<Code>("code");
    QTest::addColumn<QString>("emptied"); // control whose text is empty until the reply

    QTest::newRow("units query") << 3 << ""
                                 << "PressUnitsQueryBut" << QByteArray("3XUP!")
                                 << Code::PressUnitsQuery << "PressUnitsCombo";
    QTest::newRow("mbar on page 2")
        << 2 << "PressUnitsCombo=9"
        << "PressUnitsBut" << QByteArray("2XUP13!") << Code::PressUnitsSet << "PressUnitsCombo";
    QTest::newRow("bar on page 2")
        << 2 << "PressUnitsCombo=3"
        << "PressUnitsBut" << QByteArray("2XUP3!") << Code::PressUnitsSet << "PressUnitsCombo";
    QTest::newRow("Fahrenheit on page 0")
        << 0 << "TempUnitsCombo=1"
        << "TempUnitsBut" << QByteArray("0XUT1!") << Code::TempUnitsSet << "TempUnitsCombo";
    QTest::newRow("Uncompensated on page 7")
        << 7 << "DensityCorrCombo=1"
        << "DensityCorrBut" << QByteArray("7XP1!") << Code::DensityCorrSet << "DensityCorrCombo";
    QTest::newRow("reverse On on page 1")
        << 1 << "ReverseCombo=1"
        << "ReverseBut" << QByteArray("1XREV1!") << Code::ReverseSet << "";
    QTest::newRow("gravity set") << 5 << "LocalGravityText=9.81"
                                 << "LocalGravityBut" << QByteArray("5XE9.81!")
                                 << Code::LocalGravitySet << "LocalGravityText";
    QTest::newRow("level set keeps its text")
        << 6 << "LevelText=-1.5"
        << "LevelBut" << QByteArray("6XLOF-1.5!") << Code::LevelSet << "";
    QTest::newRow("empty level is the query's bytes")
        << 1 << "LevelText="
        << "LevelBut" << QByteArray("1XLOF!") << Code::LevelSet << "";
    QTest::newRow("SG 1.025") << 4 << "SGText=1.025"
                              << "SGBut" << QByteArray("4XU0,0.97561!") << Code::SpecificGravitySet
                              << "SGText";
    QTest::newRow("SG 1") << 4 << "SGText=1"
                          << "SGBut" << QByteArray("4XU0,1!") << Code::SpecificGravitySet
                          << "SGText";
    QTest::newRow("SG 0.8") << 4 << "SGText=0.8"
                            << "SGBut" << QByteArray("4XU0,1.25!") << Code::SpecificGravitySet
                            << "SGText";
    QTest::newRow("identification")
        << 8 << ""
        << "IDQueryBut" << QByteArray("8I!") << Code::Identification << "SensorIDList";
    QTest::newRow("range query") << 9 << ""
                                 << "RangeQueryBut" << QByteArray("9XRA!") << Code::RangeQuery
                                 << "RangeText";
    QTest::newRow("max over range query") << 9 << ""
                                          << "MaxOverRangeQueryBut" << QByteArray("9XMOR!")
                                          << Code::MaxOverRangeQuery << "MaxOverRangeText";
    QTest::newRow("reverse query")
        << 0 << ""
        << "ReverseQueryBut" << QByteArray("0XREV!") << Code::ReverseQuery << "";
    QTest::newRow("level query") << 0 << ""
                                 << "LevelQueryBut" << QByteArray("0XLOF!") << Code::LevelQuery
                                 << "LevelText";
    QTest::newRow("apply query") << 0 << ""
                                 << "ApplyQueryBut" << QByteArray("0XLOC!")
                                 << Code::LocalOffsetQuery << "";
    QTest::newRow("unlock query") << 0 << ""
                                  << "UnlockQueryBut" << QByteArray("0XUNLK!") << Code::UnlockQuery
                                  << "";
    QTest::newRow("tick unlock on page 4")
        << 4 << ""
        << "UnlockCheck" << QByteArray("4XUNLK1!") << Code::UnlockSet << "";
    QTest::newRow("tick apply on page 4")
        << 4 << ""
        << "LocalOffsetCheck" << QByteArray("4XLOC1!") << Code::LocalOffsetSet << "";
}

void LevelCommandsTest::buttonsSendTheirRequest() {
    QFETCH(int, page);
    QFETCH(QString, setup);
    QFETCH(QString, button);
    QFETCH(QByteArray, request);
    QFETCH(Code, code);
    QFETCH(QString, emptied);

    LevelFixture f;
    LevelPage& pg = f.page(page);
    if (!setup.isEmpty()) {
        const QString name = setup.section('=', 0, 0);
        const QString value = setup.section('=', 1);
        if (auto* list = pg.findChild<widgets::DropDown*>(name))
            list->setCurrentIndex(value.toInt());
        else if (auto* box = pg.findChild<QLineEdit*>(name))
            box->setText(value);
    }
    auto* control = pg.findChild<QAbstractButton*>(button);
    QVERIFY(control);
    control->click();

    QCOMPARE(f.port->writes, std::vector<QByteArray>{request});
    QCOMPARE(f.link->strSent_Command(), QString::fromLatin1(request));
    QCOMPARE(f.link->CommandMode(), code);
    QVERIFY(!pg.PressUnitsQueryBut->isEnabled()); // locked until the reply
    if (!emptied.isEmpty()) {
        QWidget* w = pg.findChild<QWidget*>(emptied);
        if (auto* list = qobject_cast<widgets::DropDown*>(w))
            QVERIFY(list->text().isEmpty());
        else if (auto* box = qobject_cast<QLineEdit*>(w))
            QVERIFY(box->text().isEmpty());
        else if (auto* lines = qobject_cast<QListWidget*>(w))
            QCOMPARE(lines->count(), 0);
    }
    // A unit change's reply does not beep: the re-read after it beeps once at its end.
    QCOMPARE(f.link->transaction().beep, code != Code::PressUnitsSet);
}

void LevelCommandsTest::rangeOnLockedSensorWarnsThenSends() {
    LevelFixture f;
    f.page(3).RangeText->setText("100.5");
    f.page(3).RangeBut->click();
    QCOMPARE(f.dialogs.boxes.size(), 1);
    QCOMPARE(f.dialogs.boxes[0].title, QStringLiteral("Set Range Value."));
    QCOMPARE(f.dialogs.boxes[0].text,
             QStringLiteral("Unable to set range value whilst sensor is "
                            "locked.\rPlease unlock sensor and try again."));
    QCOMPARE(f.port->writes, std::vector<QByteArray>{"3XRA100.5!"});
    QVERIFY(f.page(3).RangeText->text().isEmpty());

    f.family->UnlockLevelPage(3); // as the reply would
    f.page(3).MaxOverRangeText->setText("12");
    f.page(3).MaxRangeBut->click();
    QCOMPARE(f.dialogs.boxes.size(), 2);
    QCOMPARE(f.dialogs.boxes[1].title, QStringLiteral("Set Maximum Range Value."));

    // Unlocked: no warning.
    LevelFixture g;
    g.page(3).UnlockCheck->setChecked(true); // sends 3XUNLK1!
    g.clock.runUntilIdle();                  // (unanswered here)
    g.family->UnlockLevelPage(3);
    g.port->writes.clear();
    g.page(3).RangeText->setText("7");
    g.page(3).RangeBut->click();
    QVERIFY(g.dialogs.boxes.isEmpty());
    QCOMPARE(g.port->writes, std::vector<QByteArray>{"3XRA7!"});
}

void LevelCommandsTest::refusals_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("sg");
    QTest::addColumn<QString>("title");
    QTest::newRow("no pressure unit") << "PressUnitsBut"
                                      << ""
                                      << "Set Pressure Units.";
    QTest::newRow("no temperature unit") << "TempUnitsBut"
                                         << ""
                                         << "Set Temperature Units.";
    QTest::newRow("no density correction") << "DensityCorrBut"
                                           << ""
                                           << "Set Density Correction.";
    QTest::newRow("no reverse") << "ReverseBut"
                                << ""
                                << "Set Reverse Output.";
    QTest::newRow("empty SG") << "SGBut"
                              << ""
                              << "Set Specific Gravity.";
    QTest::newRow("zero SG") << "SGBut"
                             << "0"
                             << "Set Specific Gravity.";
    QTest::newRow("SG not a number") << "SGBut"
                                     << "."
                                     << "Set Specific Gravity.";
    QTest::newRow("negative SG") << "SGBut"
                                 << "-1"
                                 << "Set Specific Gravity.";
}

void LevelCommandsTest::refusals() {
    QFETCH(QString, button);
    QFETCH(QString, sg);
    QFETCH(QString, title);
    LevelFixture f;
    f.page(2).SGText->setText(sg);
    f.page(2).findChild<QAbstractButton*>(button)->click();
    QVERIFY(f.port->writes.empty());
    QCOMPARE(f.dialogs.boxes.size(), 1);
    QCOMPARE(f.dialogs.boxes[0].title, title);
    QCOMPARE(f.dialogs.boxes[0].icon, platform::Dialogs::Icon::Exclamation);
    QVERIFY(f.page(2).PressUnitsQueryBut->isEnabled()); // nothing locked
}

void LevelCommandsTest::levelOffsetAsksFirst() {
    LevelFixture f;
    f.page(5).LevelOffsetText->setText("0.25");
    f.dialogs.answers.enqueue(platform::Dialogs::Button::No);
    f.page(5).LevelOffsetBut->click();
    QVERIFY(f.port->writes.empty());
    QCOMPARE(f.dialogs.boxes[0].title, QStringLiteral("Level Offset Function."));
    QCOMPARE(f.dialogs.boxes[0].text, QStringLiteral("Are you sure you wish to proceed?"));
    QCOMPARE(f.dialogs.boxes[0].defaultButton, platform::Dialogs::Button::No);

    f.dialogs.answers.enqueue(platform::Dialogs::Button::Yes);
    f.page(5).LevelOffsetBut->click();
    QCOMPARE(f.port->writes, std::vector<QByteArray>{"5XSPM0.25!"});
    QCOMPARE(f.link->MeasureAddress(), 5);
    QCOMPARE(f.link->CommandMode(), Code::LevelOffset);
}

void LevelCommandsTest::keyFilters_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beeps");
    QTest::newRow("one point in range") << "RangeText"
                                        << "1.2.3"
                                        << "1.23" << 1;
    QTest::newRow("no minus in range") << "RangeText"
                                       << "-5"
                                       << "5" << 1;
    QTest::newRow("minus in level") << "LevelText"
                                    << "-5"
                                    << "-5" << 0;
    QTest::newRow("second minus refused") << "LevelText"
                                          << "-5-"
                                          << "-5" << 1;
    QTest::newRow("letters refused") << "SGText"
                                     << "1a"
                                     << "1" << 1;
    QTest::newRow("percent and apostrophe refused") << "MaxOverRangeText"
                                                    << "5%'"
                                                    << "5" << 2;
    QTest::newRow("gravity takes no minus") << "LocalGravityText"
                                            << "-9"
                                            << "9" << 1;
    QTest::newRow("offset takes a minus") << "LevelOffsetText"
                                          << "-"
                                          << "-" << 0;
    QTest::newRow("nine characters at most") << "LevelText"
                                             << "-1234.5678"
                                             << "-1234.567" << 1;
}

void LevelCommandsTest::fullBoxTakesTypingOverASelection() {
    LevelFixture f;
    auto* edit = f.page(1).findChild<QLineEdit*>("RangeText");
    edit->setText("123456.78");
    edit->setSelection(6, 3);
    QTest::keyClicks(edit, ".5");
    QCOMPARE(edit->text(), QStringLiteral("123456.5"));
    QCOMPARE(f.beeps, 0);
}

void LevelCommandsTest::keyFilters() {
    QFETCH(QString, box);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, beeps);
    LevelFixture f;
    auto* edit = f.page(1).findChild<QLineEdit*>(box);
    edit->clear();
    QTest::keyClicks(edit, keys);
    QCOMPARE(edit->text(), text);
    QCOMPARE(f.beeps, beeps);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), text.chopped(1));
}

void LevelCommandsTest::editingKeysPass_data() {
    // Each key as a desktop sends it: several carry a control character as their text.
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("keyText");
    QTest::addColumn<QString>("after"); // the text with "|" at the cursor, "" if the focus left
    QTest::addColumn<int>("beeps");
    const int none = Qt::NoModifier;
    // The box holds the typed text "12.5" with the cursor after "1".
    QTest::newRow("delete") << int(Qt::Key_Delete) << none << "\x7f"
                            << "1|.5" << 0;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << none << "\b"
                               << "|2.5" << 0;
    QTest::newRow("home") << int(Qt::Key_Home) << none << ""
                          << "|12.5" << 0;
    QTest::newRow("ctrl+z") << int(Qt::Key_Z) << int(Qt::ControlModifier) << "\x1a"
                            << "|" << 0;
    QTest::newRow("return") << int(Qt::Key_Return) << none << "\r"
                            << "1|2.5" << 0;
    QTest::newRow("tab") << int(Qt::Key_Tab) << none << "\t"
                         << "" << 0;
    QTest::newRow("shift+tab") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << "\t"
                               << "" << 0;
    QTest::newRow("form feed is no character") << int(Qt::Key_unknown) << none << "\f"
                                               << "1|2.5" << 1;
}

void LevelCommandsTest::editingKeysPass() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, keyText);
    QFETCH(QString, after);
    QFETCH(int, beeps);
    LevelFixture f;
    f.tabs->setCurrentIndex(1);
    f.tabs->show();
    QApplication::setActiveWindow(f.tabs.get());
    QVERIFY(QTest::qWaitForWindowActive(f.tabs.get()));
    QLineEdit* box = f.page(1).LevelText;
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    QTest::keyClicks(box, "12.5");
    box->setCursorPosition(1);

    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), keyText);
    QApplication::sendEvent(box, &press);

    QCOMPARE(box->hasFocus() ? box->text().insert(box->cursorPosition(), '|') : QString(), after);
    QCOMPARE(f.beeps, beeps);
}

void LevelCommandsTest::pastedTextIsFiltered_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("how");    // "ctrl+v", "paste" (menu, middle click) or "drop"
    QTest::addColumn<QString>("before"); // "|" at the cursor, [] the selection
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("after"); // "|" at the cursor
    QTest::addColumn<int>("beeps");
    QTest::newRow("letters and ! left out") << "RangeText"
                                            << "ctrl+v"
                                            << "|"
                                            << "1a2!"
                                            << "12|" << 1;
    QTest::newRow("second point left out, in the middle") << "RangeText"
                                                          << "paste"
                                                          << "1|.5"
                                                          << "2.3"
                                                          << "123|.5" << 1;
    QTest::newRow("minus left out of an unsigned box") << "LocalGravityText"
                                                       << "paste"
                                                       << "|"
                                                       << "-9.81"
                                                       << "9.81|" << 1;
    QTest::newRow("selection replaced") << "SGText"
                                        << "ctrl+v"
                                        << "[-1.5]"
                                        << "-2.7-"
                                        << "-2.7|" << 1;
    QTest::newRow("nothing usable") << "LevelOffsetText"
                                    << "paste"
                                    << "4|"
                                    << "%'\f"
                                    << "4|" << 1;
    QTest::newRow("dropped") << "LevelText"
                             << "drop"
                             << "|"
                             << "-1.5 m"
                             << "-1.5|" << 1;
}

void LevelCommandsTest::pastedTextIsFiltered() {
    QFETCH(QString, box);
    QFETCH(QString, how);
    QFETCH(QString, before);
    QFETCH(QString, pasted);
    QFETCH(QString, after);
    QFETCH(int, beeps);
    LevelFixture f;
    f.tabs->setCurrentIndex(1);
    f.tabs->show();
    auto* edit = f.page(1).findChild<QLineEdit*>(box);
    edit->setText(QString(before).remove('|').remove('[').remove(']'));
    if (before.contains('['))
        edit->selectAll();
    else
        edit->setCursorPosition(before.indexOf('|'));

    auto mime = std::make_unique<QMimeData>();
    mime->setText(pasted);
    if (how == "drop") {
        const QPoint end(edit->width() - 2, edit->height() / 2);
        QDragEnterEvent enter(end, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &enter);
        QDropEvent drop(end, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &drop);
    } else {
        QApplication::clipboard()->setMimeData(mime.release());
        if (how == "ctrl+v")
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        else
            edit->paste();
    }

    QCOMPARE(edit->text().insert(edit->cursorPosition(), '|'), after);
    QCOMPARE(f.beeps, beeps);
}

void LevelCommandsTest::receivedTextIsNotFiltered() {
    // The decoder shows received values with setText, whatever they hold; typing on keeps
    // them.
    LevelFixture f;
    QLineEdit* box = f.page(2).RangeText;
    box->setText("-1.5E-3");
    box->end(false);
    QTest::keyClicks(box, "7");
    QCOMPARE(box->text(), QStringLiteral("-1.5E-37"));
    QCOMPARE(f.beeps, 0);
}

void LevelCommandsTest::leadingDotCorrection() {
    LevelFixture f;
    f.tabs->show();
    f.tabs->setCurrentIndex(1);
    LevelPage& pg = f.page(1);
    for (QLineEdit* box : {pg.LevelText, pg.RangeText}) {
        box->setText(".75");
        box->setFocus();
        QFocusEvent focusOut(QEvent::FocusOut);
        QApplication::sendEvent(box, &focusOut);
    }
    QCOMPARE(pg.LevelText->text(), QStringLiteral("0.75"));
    QCOMPARE(pg.RangeText->text(), QStringLiteral(".75"));
}

void LevelCommandsTest::reciprocal_data() {
    QTest::addColumn<QString>("sg");
    QTest::addColumn<QString>("sent");
    QTest::newRow("1.025") << "1.025"
                           << "0.97561";
    QTest::newRow("1") << "1"
                       << "1";
    QTest::newRow("0.8") << "0.8"
                         << "1.25";
    QTest::newRow("3") << "3"
                       << "0.333333";
}

void LevelCommandsTest::reciprocal() {
    QFETCH(QString, sg);
    QFETCH(QString, sent);
    QCOMPARE(LevelSensors::reciprocalText(sg).value_or(QString()), sent);
}

QTEST_MAIN(LevelCommandsTest)
#include "tst_levelcommands.moc"
