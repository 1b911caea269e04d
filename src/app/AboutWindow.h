#pragma once

#include <QDialog>

namespace app {

// The About window: the maker's contact details and a logo.
class AboutWindow final : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

} // namespace app
