#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>

class QLineEdit;
class QPushButton;

namespace platform {
class Dialogs;
}
namespace sdilink {
class Link;
}

namespace console {

// The "User Command Entry" window: any text typed is sent to the bus unchanged (no address,
// no "!", no line end added) and every reply is shown. While its requests are out the
// replies are the window's, not the decoder's. Closing it after a reply offers a rescan,
// since a command may have changed a sensor's settings; the text SERVICEMODE opens the
// timing window instead of being sent.
//
// A window of its own, not a child of the main window: the main window is disabled while it
// is open.
class UserCommand final : public QWidget {
    Q_OBJECT
public:
    // What the window asks of the rest of the program.
    struct Hooks {
        std::function<void(bool enabled)> setMainWindowEnabled;
        std::function<void()> openTiming; // shows the timing window modally
        std::function<void()> rescan;
        std::function<bool()> logRunning;
    };

    UserCommand(sdilink::Link& link, platform::Dialogs& dialogs, Hooks hooks);

    // Opens the window and disables the main window; refused while a log runs.
    void mnuUserCommand_Click();
    void SubmitBut_Click();
    // Every reply while a typed request is out (the decoder's sink).
    void showReply(const QString& line);

    // Printable ASCII only: the characters the bus can carry as typed.
    static bool isPlainAscii(const QString& text);
    // Longest request that can be typed (about 0.7 s on the wire).
    static constexpr int kMaxTyped = 80;

    QLineEdit* UserText;
    QPushButton* SubmitBut;
    QLineEdit* ReceivedText;
    qint16 UserCommandCount = 0;
    // The commands sent in this run, oldest first (Up and Down in the text box walk them).
    const QStringList& history() const { return history_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void send(const QByteArray& bytes);

    sdilink::Link& link_;
    platform::Dialogs& dialogs_;
    Hooks hooks_;
    QStringList history_;
    qsizetype historyAt_ = 0;
};

} // namespace console
