#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace app {

// The small window the tool starts on, where the user picks the sensor family.
class StartupWindow final : public QWidget {
    Q_OBJECT
public:
    enum class Family { LevelProbe, RotaryEncoder };

    explicit StartupWindow(QWidget* parent = nullptr);

    QLabel* versionLabel;
    QPushButton* LevelProbeButton;
    QPushButton* RotaryEncoderButton;
    QPushButton* EncoderConverterButton;

Q_SIGNALS:
    // The user picked a family; the window closes right after.
    void familyChosen(app::StartupWindow::Family family);

private:
    void choose(Family family);
};

} // namespace app
