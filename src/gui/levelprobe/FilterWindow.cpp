#include "FilterWindow.h"

#include "gui/widgets/Controls.h"
#include "gui/widgets/UpDown.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace levelprobe {

namespace {

// Keeps a box and its spinner together.
void pair(QLineEdit* box, widgets::UpDown* spinner) {
    QObject::connect(spinner, &widgets::UpDown::valueChanged, box,
                     [box](int value) { box->setText(QString::number(value)); });
    QObject::connect(box, &QLineEdit::textEdited, spinner, [spinner](const QString& text) {
        bool ok = false;
        const int value = text.toInt(&ok);
        if (ok && value >= spinner->minimum() && value <= spinner->maximum()) {
            const QSignalBlocker quiet(spinner);
            spinner->setValue(value);
        }
    });
}

void setQuietly(widgets::UpDown* spinner, int value) {
    const QSignalBlocker quiet(spinner);
    spinner->setValue(value);
}

} // namespace

FilterWindow::FilterWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Filter"));
    setWindowTitle(QStringLiteral("Filter Settings"));
    using widgets::makeLabel;
    using widgets::makeTextBox;

    NoOfReadingsText = makeTextBox(this, "NoOfReadingsText", QStringLiteral("Number of Readings:"));
    UpDown1 = new widgets::UpDown(1, 12, this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    ReadingIntervalText =
        makeTextBox(this, "ReadingIntervalText", QStringLiteral("Reading Interval:"));
    UpDown2 = new widgets::UpDown(1, 100, this);
    UpDown2->setObjectName(QStringLiteral("UpDown2"));
    auto* constant = makeTextBox(this, "ConstantText", QStringLiteral("X"));
    constant->setText(QStringLiteral("0.2"));
    constant->setReadOnly(true);
    MaxSampleRateText = makeTextBox(this, "MaxSampleRateText", QStringLiteral("Max. Sample Rate:"));
    MaxSampleRateText->setReadOnly(true);
    Command1 = widgets::makeButton(this, "Command1", QStringLiteral("Query"));
    FilterSetingsBut = widgets::makeButton(this, "FilterSetingsBut", QStringLiteral("Set"));
    pair(NoOfReadingsText, UpDown1);
    pair(ReadingIntervalText, UpDown2);

    // A product laid out downwards: readings x interval x 0.2 s = sample rate.
    auto* grid = new QGridLayout;
    widgets::GridRows rows(grid);
    rows.add(QStringLiteral("Number of Readings:"), NoOfReadingsText, UpDown1);
    rows.add(QStringLiteral("X"), nullptr);
    rows.add(QStringLiteral("Reading Interval:"), ReadingIntervalText, UpDown2);
    rows.add(QStringLiteral("X"), constant, makeLabel(this, QStringLiteral("Seconds")));
    rows.add(QStringLiteral("="), nullptr);
    rows.add(QStringLiteral("Max. Sample Rate:"), MaxSampleRateText,
             makeLabel(this, QStringLiteral("Seconds")));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(FilterSetingsBut);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void FilterWindow::showFilter(int readings, int interval, const QString& sampleRate) {
    setQuietly(UpDown1, readings);
    NoOfReadingsText->setText(QString::number(readings));
    setQuietly(UpDown2, interval);
    ReadingIntervalText->setText(QString::number(interval));
    MaxSampleRateText->setText(sampleRate);
}

} // namespace levelprobe
