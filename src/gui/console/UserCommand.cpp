#include "UserCommand.h"

#include "core/link/Link.h"
#include "gui/platform/Dialogs.h"
#include "gui/widgets/Controls.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace console {

namespace {

const QString kTitle = QStringLiteral("User Command.");
const QString kServiceMode = QStringLiteral("SERVICEMODE");

} // namespace

UserCommand::UserCommand(sdilink::Link& link, platform::Dialogs& dialogs, Hooks hooks)
    : QWidget(nullptr, Qt::Window), link_(link), dialogs_(dialogs), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("UserCommand"));
    setWindowTitle(QStringLiteral("User Command Entry"));
    const QString typed = QStringLiteral("User Command Text:");
    const QString received = QStringLiteral("Received Text:");
    UserText = widgets::makeTextBox(this, "UserText", typed);
    SubmitBut = widgets::makeButton(this, "SubmitBut", QStringLiteral("Send"));
    SubmitBut->setDefault(true);
    ReceivedText = widgets::makeTextBox(this, "ReceivedText", received);
    ReceivedText->setReadOnly(true);
    auto* grid = new QGridLayout(this);
    widgets::GridRows rows(grid);
    rows.add(typed, UserText, SubmitBut);
    rows.add(received, ReceivedText);
    setMinimumWidth(480);

    UserText->installEventFilter(this);
    // Enter is the Send button: nothing while it is disabled.
    connect(UserText, &QLineEdit::returnPressed, this, [this] {
        if (SubmitBut->isEnabled())
            SubmitBut_Click();
    });
    connect(SubmitBut, &QPushButton::clicked, this, &UserCommand::SubmitBut_Click);
    // One typed request at a time.
    connect(&link_, &sdilink::Link::busFree, this, [this] { SubmitBut->setEnabled(true); });
}

bool UserCommand::isPlainAscii(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    return true;
}

void UserCommand::mnuUserCommand_Click() {
    if (hooks_.logRunning && hooks_.logRunning()) {
        dialogs_.messageBox(kTitle,
                            QStringLiteral("Please stop the log before sending user commands."),
                            platform::Dialogs::Icon::Exclamation);
        return;
    }
    UserCommandCount = 0;
    historyAt_ = history_.size();
    SubmitBut->setEnabled(!link_.busy());
    show();
    raise();
    activateWindow();
    if (hooks_.setMainWindowEnabled)
        hooks_.setMainWindowEnabled(false);
}

void UserCommand::SubmitBut_Click() {
    const QString t = UserText->text();
    if (t == kServiceMode) {
        hide();
        if (hooks_.setMainWindowEnabled)
            hooks_.setMainWindowEnabled(true);
        if (hooks_.openTiming)
            hooks_.openTiming();
        return;
    }
    if (t.isEmpty() || !SubmitBut->isEnabled())
        return;
    if (t.size() > kMaxTyped) {
        dialogs_.messageBox(kTitle,
                            QStringLiteral("A request can be at most %1 characters long. Nothing "
                                           "was sent.")
                                .arg(kMaxTyped),
                            platform::Dialogs::Icon::Exclamation);
        return;
    }
    if (!isPlainAscii(t)) {
        dialogs_.messageBox(kTitle,
                            QStringLiteral("Only plain ASCII characters (letters, digits, "
                                           "punctuation and spaces) can be sent. Nothing was "
                                           "sent."),
                            platform::Dialogs::Icon::Exclamation);
        return;
    }
    if (history_.isEmpty() || history_.back() != t)
        history_ << t;
    historyAt_ = history_.size();
    send(t.toLatin1());
}

void UserCommand::send(const QByteArray& bytes) {
    ReceivedText->clear();
    sdilink::Transaction typed;
    typed.request = bytes;
    typed.code = link_.CommandMode();
    typed.page = link_.transaction().page;
    typed.answer = sdilink::Transaction::Answer::AnyLine;
    typed.sendingMs = sdilink::Transaction::sendingTimeMs(bytes.size());
    typed.typed = true;
    SubmitBut->setEnabled(false);
    link_.transmit(typed);
    if (!link_.busy())
        SubmitBut->setEnabled(true);
}

void UserCommand::showReply(const QString& line) {
    // A reply that comes after the window was closed is in the comms log only.
    if (!isVisible())
        return;
    ReceivedText->setText(line);
    if (!ReceivedText->text().isEmpty())
        ++UserCommandCount;
}

void UserCommand::closeEvent(QCloseEvent* event) {
    // A typed request still out holds the bus until its reply or time-out.
    if (hooks_.setMainWindowEnabled)
        hooks_.setMainWindowEnabled(true);
    event->accept();
    if (UserCommandCount != 0 &&
        dialogs_.confirm(kTitle, QStringLiteral("You may have altered sensor settings. Do you "
                                                "wish to rescan the sensors?")) &&
        hooks_.rescan)
        hooks_.rescan();
    UserCommandCount = 0;
}

bool UserCommand::eventFilter(QObject* watched, QEvent* event) {
    if (watched == UserText && event->type() == QEvent::KeyPress && !history_.isEmpty()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            historyAt_ = std::clamp<qsizetype>(historyAt_ + (key == Qt::Key_Up ? -1 : 1), 0,
                                               history_.size());
            UserText->setText(historyAt_ < history_.size() ? history_.at(historyAt_) : QString());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace console
