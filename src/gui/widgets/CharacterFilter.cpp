#include "CharacterFilter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

namespace widgets {

CharacterFilter::CharacterFilter(QLineEdit* box, Rule rule, std::function<void()> refused)
    : QObject(box), box_(box), rule_(std::move(rule)), refused_(std::move(refused)),
      before_(box->text()) {
    // Any change, the program's included, is the starting point of the next edit. The box
    // is asked rather than the signal's argument: after a correction made below, QLineEdit
    // still reports the uncorrected text once.
    connect(box, &QLineEdit::textChanged, this, [this] { before_ = box_->text(); });
    connect(box, &QLineEdit::textEdited, this, &CharacterFilter::edited);
}

void CharacterFilter::install(QLineEdit* box, Rule rule, std::function<void()> refused) {
    box->installEventFilter(new CharacterFilter(box, std::move(rule), std::move(refused)));
}

bool CharacterFilter::isEditingKey(const QKeyEvent& key) {
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return true;
    switch (key.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Insert:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    default:
        // Keys that type nothing (Shift, F1, ...) are no characters either.
        return key.text().isEmpty();
    }
}

bool CharacterFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != box_ || event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (isEditingKey(*key))
        return false;
    // A key typed over a selection replaces it.
    QString text = box_->text();
    if (box_->hasSelectedText())
        text.remove(box_->selectionStart(), box_->selectedText().size());
    for (QChar c : key->text()) {
        if (!rule_(c, text)) {
            if (refused_)
                refused_();
            return true;
        }
        text += c;
    }
    return false;
}

void CharacterFilter::edited(const QString& text) {
    // What the edit put in lies between the part kept in front and the part kept behind.
    const QString& old = before_;
    const qsizetype most = std::min(old.size(), text.size());
    qsizetype front = 0;
    while (front < most && old[front] == text[front])
        ++front;
    qsizetype back = 0;
    while (back < most - front && old[old.size() - 1 - back] == text[text.size() - 1 - back])
        ++back;
    const qsizetype end = text.size() - back;

    // Each inserted character is checked against the box as it would be after typing the
    // ones before it.
    QString kept = text.left(front);
    const QString behind = text.mid(end);
    const int cursor = box_->cursorPosition();
    int droppedBeforeCursor = 0;
    bool dropped = false;
    for (qsizetype i = front; i < end; ++i) {
        if (rule_(text[i], kept + behind)) {
            kept += text[i];
        } else {
            dropped = true;
            if (i < cursor)
                ++droppedBeforeCursor;
        }
    }
    if (!dropped)
        return;
    box_->setText(kept + behind);
    box_->setCursorPosition(cursor - droppedBeforeCursor);
    if (refused_)
        refused_();
}

} // namespace widgets
