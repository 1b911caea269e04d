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
    // The user picked a family; the window closes right after. Emitted once: the main
    // window loads (and runs its first scan) inside this signal, and clicks that arrive
    // meanwhile or later are not a second choice.
    void familyChosen(app::StartupWindow::Family family);

private:
    void choose(Family family);

    bool chosen_ = false;
};

} // namespace app
