#include "Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

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
    const QString path = QFileDialog::getSaveFileName(
        parent_, title, suggestedPath, filters.join(QStringLiteral(";;")), &selected);
    if (path.isEmpty())
        return std::nullopt;
    return SaveChoice{path, std::max<int>(0, filters.indexOf(selected))};
}

} // namespace platform
