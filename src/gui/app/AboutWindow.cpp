#include "AboutWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

namespace {

QPixmap logo() {
    QPixmap pixmap(96, 96);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x1f, 0x5f, 0x9f));
    p.setPen(Qt::NoPen);
    p.drawEllipse(4, 4, 88, 88);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(22);
    p.setFont(font);
    p.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("SDI\n12"));
    return pixmap;
}

} // namespace

QString AboutWindow::programText() {
    // The Qt the program runs on may be newer than the one it was built with.
    QString qt = QString::fromLatin1(qVersion());
    if (qt != QLatin1String(QT_VERSION_STR))
        qt += QStringLiteral(" (built with %1)").arg(QLatin1String(QT_VERSION_STR));
    return QStringLiteral("sdi12-config version %1\n"
                          "Qt version %2\n"
                          "Licence: MIT. Copyright (c) The sdi12-config developers.")
        .arg(QLatin1String(SDI12_VERSION), qt);
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutWindow"));
    setWindowTitle(QStringLiteral("Tarnix - SDI-12 Device Configuration Tool"));
    setModal(false);

    auto* picture = new QLabel(this);
    picture->setPixmap(logo());
    picture->setAlignment(Qt::AlignTop);

    auto* contact = new QPlainTextEdit(this);
    contact->setObjectName(QStringLiteral("ContactText"));
    contact->setAccessibleName(QStringLiteral("Contact"));
    contact->setReadOnly(true);
    // Read-only text that is not selectable by keyboard shows no text cursor.
    contact->setTextInteractionFlags(Qt::TextSelectableByMouse);
    contact->setPlainText(QStringLiteral("Tarnix\n"
                                         "SDI-12 Device Configuration Tool\n\n"
                                         "For sales, service and calibration of level\n"
                                         "transmitters and rotary shaft encoders, please\n"
                                         "contact your Tarnix distributor.\n"));
    contact->setMinimumSize(320, 140);

    auto* program = new QLabel(programText(), this);
    program->setObjectName(QStringLiteral("ProgramText"));
    program->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);

    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addWidget(contact, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(program);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

} // namespace app
