#include "StartupWindow.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace app {

StartupWindow::StartupWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("StartupWindow"));
    setWindowTitle(QStringLiteral("SDI Configuration Software"));

    auto* title = new QLabel(QStringLiteral("SDI Configuration Software"), this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);

    versionLabel = new QLabel(QStringLiteral(SDI12_VERSION), this);
    versionLabel->setObjectName(QStringLiteral("versionLabel"));

    auto makeLaunch = [this](const char* name, const QString& line1, const QString& line2) {
        auto* b = new QPushButton(line1 + QLatin1Char('\n') + line2, this);
        b->setObjectName(QLatin1String(name));
        b->setAccessibleName(line1 + QLatin1Char(' ') + line2);
        b->setMinimumSize(220, 56);
        return b;
    };
    LevelProbeButton = makeLaunch("LevelProbeButton", QStringLiteral("Brenlow"),
                                  QStringLiteral("Level Transmitter"));
    RotaryEncoderButton = makeLaunch("RotaryEncoderButton", QStringLiteral("Tirra"),
                                     QStringLiteral("SDI-12 Rotary Encoder"));
    EncoderConverterButton = makeLaunch("EncoderConverterButton", QStringLiteral("Quenby"),
                                        QStringLiteral("SDI-12 Encoder Converter"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(title, 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Version:"), this), 1, 0, Qt::AlignRight);
    grid->addWidget(versionLabel, 1, 1);
    int row = 2;
    for (QPushButton* b : {LevelProbeButton, RotaryEncoderButton, EncoderConverterButton}) {
        grid->addWidget(new QLabel(QStringLiteral("Launch:"), this), row, 0, Qt::AlignRight);
        grid->addWidget(b, row++, 1);
    }
    grid->setSizeConstraint(QLayout::SetFixedSize);

    // The encoder converter is handled as a level probe; there is no third family.
    connect(LevelProbeButton, &QPushButton::clicked, this, [this] { choose(Family::LevelProbe); });
    connect(RotaryEncoderButton, &QPushButton::clicked, this,
            [this] { choose(Family::RotaryEncoder); });
    connect(EncoderConverterButton, &QPushButton::clicked, this,
            [this] { choose(Family::LevelProbe); });
}

void StartupWindow::choose(Family family) {
    if (chosen_)
        return;
    chosen_ = true;
    // Out of the user's reach before the main window loads: its load waits for the first
    // scan in a nested event loop, which would otherwise deliver more clicks here.
    setEnabled(false);
    hide();
    Q_EMIT familyChosen(family);
    close();
}

} // namespace app
