#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QWidget;

namespace platform {

// The message boxes and file dialogs the tool shows, behind one seam so tests can script the
// user's answers and record every box.
class Dialogs {
public:
    enum class Icon { Exclamation, Information };
    enum class Buttons { Ok, YesNo };
    enum class Button { Ok, Yes, No };

    struct SaveChoice {
        QString path;
        int filterIndex = 0; // index into the filters passed to saveFile()
    };

    // A progress dialog with a Cancel button, shown only once its work has taken about half a
    // second; it closes when destroyed.
    class Progress {
    public:
        virtual ~Progress() = default;
        // Moves the bar (0 to the maximum) and lets the window handle its events; false once
        // the user has cancelled.
        virtual bool setValue(int value) = 0;
    };

    virtual ~Dialogs() = default;

    // A modal box. For Buttons::YesNo, defaultButton is the preselected one.
    virtual Button messageBox(const QString& title, const QString& text, Icon icon,
                              Buttons buttons = Buttons::Ok, Button defaultButton = Button::Ok) = 0;

    // A question with Yes and No, No preselected: true unless the answer is No.
    bool confirm(const QString& title, const QString& text) {
        return messageBox(title, text, Icon::Information, Buttons::YesNo, Button::No) != Button::No;
    }

    // A file-save dialog with a filter list ("Excel Workbook (*.xlsx)", ...). Empty when
    // the user cancels. It does not ask before an existing file is chosen: the caller, which
    // knows the name it will write, asks.
    virtual std::optional<SaveChoice> saveFile(const QString& title, const QString& suggestedPath,
                                               const QStringList& filters) = 0;

    virtual std::unique_ptr<Progress> progress(const QString& title, const QString& text,
                                               int maximum) = 0;

    // A file-open dialog with a filter list; empty when the user cancels.
    virtual std::optional<QString> openFile(const QString& /*title*/,
                                            const QStringList& /*filters*/) {
        return std::nullopt;
    }
};

// The real dialogs: QMessageBox and QFileDialog, parented to the given window.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    Button messageBox(const QString& title, const QString& text, Icon icon, Buttons buttons,
                      Button defaultButton) override;
    std::optional<SaveChoice> saveFile(const QString& title, const QString& suggestedPath,
                                       const QStringList& filters) override;
    std::unique_ptr<Progress> progress(const QString& title, const QString& text,
                                       int maximum) override;
    std::optional<QString> openFile(const QString& title, const QStringList& filters) override;

private:
    QWidget* parent_;
};

} // namespace platform
