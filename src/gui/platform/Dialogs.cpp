#include "Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>

namespace platform {

Dialogs::Button QtDialogs::messageBox(const QString& title, const QString& text, Icon icon,
                                      Buttons buttons, Button defaultButton) {
    QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::Information,
                    title, text, QMessageBox::NoButton, parent_);
    if (buttons == Buttons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return Button::Ok;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(defaultButton == Button::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Button::Yes : Button::No;
}

std::optional<Dialogs::SaveChoice> QtDialogs::saveFile(const QString& title,
                                                       const QString& suggestedPath,
                                                       const QStringList& filters) {
    QString selected = filters.value(0);
    const QString path = QFileDialog::getSaveFileName(parent_, title, suggestedPath,
                                                      filters.join(QStringLiteral(";;")), &selected,
                                                      QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return std::nullopt;
    return SaveChoice{path, std::max<int>(0, filters.indexOf(selected))};
}

std::optional<QString> QtDialogs::openFile(const QString& title, const QStringList& filters) {
    const QString path =
        QFileDialog::getOpenFileName(parent_, title, {}, filters.join(QStringLiteral(";;")));
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

namespace {

class QtProgress final : public Dialogs::Progress {
public:
    QtProgress(QWidget* parent, const QString& title, const QString& text, int maximum)
        : dialog_(text, QStringLiteral("Cancel"), 0, maximum, parent) {
        dialog_.setWindowTitle(title);
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(500);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        dialog_.setValue(0);
    }
    bool setValue(int value) override {
        dialog_.setValue(value);
        return !dialog_.wasCanceled();
    }

private:
    QProgressDialog dialog_;
};

} // namespace

std::unique_ptr<Dialogs::Progress> QtDialogs::progress(const QString& title, const QString& text,
                                                       int maximum) {
    return std::make_unique<QtProgress>(parent_, title, text, maximum);
}

} // namespace platform
