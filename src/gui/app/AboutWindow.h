#pragma once

#include <QDialog>

namespace app {

// The About window: the maker's contact details, a logo, and the program's version, the Qt
// version it runs on and its licence.
class AboutWindow final : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

    static QString programText();
};

} // namespace app
