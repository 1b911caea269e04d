#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QKeyEvent;
class QLineEdit;

namespace widgets {

// Limits what the user can put into a text box to the characters a rule takes.
//
// A typed key whose character the rule refuses is dropped and reported (the caller beeps).
// Keys that edit or move (Backspace, Delete, Tab, Backtab, arrows, Home, End, ...) and
// shortcuts with Ctrl, Alt or Meta always pass, told apart by their key code: on X11 and
// Wayland several of them carry a control character as their text ("\x7f", "\t", "\b").
//
// Text the user puts in any other way (paste, middle-click paste, drag and drop, input
// methods) is checked as if its characters had been typed where it went in: the refused
// ones are left out, with one report for the edit. Text the program sets with setText()
// is never filtered.
class CharacterFilter final : public QObject {
    Q_OBJECT
public:
    // Whether character c may be added to a box that holds `text` (without c).
    using Rule = std::function<bool(QChar c, const QString& text)>;

    // The filter belongs to the box.
    static void install(QLineEdit* box, Rule rule, std::function<void()> refused);

    // Whether a key edits, moves or is a shortcut rather than typing a character.
    static bool isEditingKey(const QKeyEvent& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CharacterFilter(QLineEdit* box, Rule rule, std::function<void()> refused);
    void edited(const QString& text);

    QLineEdit* box_;
    Rule rule_;
    std::function<void()> refused_;
    // The text before the user's edit now in progress: QLineEdit reports an edit
    // (textEdited) before the change (textChanged), so this still holds the old text then.
    QString before_;
};

} // namespace widgets
