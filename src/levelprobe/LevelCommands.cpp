#include "LevelCommands.h"

#include "LevelFamily.h"
#include "LevelPage.h"
#include "link/Link.h"
#include "platform/DropDown.h"
#include "protocol/Catalogue.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>

namespace levelprobe {

using protocol::Catalogue;

namespace {

void emptyControl(QWidget* control) {
    if (auto* box = qobject_cast<QLineEdit*>(control))
        box->clear();
    else if (auto* list = qobject_cast<platform::DropDown*>(control))
        list->setText({});
    else if (auto* lines = qobject_cast<QListWidget*>(control))
        lines->clear();
}

} // namespace

LevelCommands::LevelCommands(LevelFamily& family, sdilink::Link& link, platform::Dialogs& dialogs)
    : family_(family), link_(link), dialogs_(dialogs) {}

void LevelCommands::connectPage(int p) {
    LevelPage& pg = family_.page(p);
    // A check box acts on every change of its value, whether clicked or set by the program.
    QObject::connect(pg.LocalOffsetCheck, &QCheckBox::toggled, pg.LocalOffsetCheck,
                     [this, p] { LocalOffsetCheck_Click(p); });
    QObject::connect(pg.UnlockCheck, &QCheckBox::toggled, pg.UnlockCheck,
                     [this, p] { UnlockCheck_Click(p); });
}

void LevelCommands::send(int p, qint16 code, const QByteArray& value, QWidget* answerControl,
                         bool lock) {
    const QByteArray request = Catalogue::request(p, code, value);
    if (lock)
        family_.LockLevelPage(p);
    emptyControl(answerControl);
    link_.strSent_Command = QString::fromLatin1(request);
    link_.CommandMode = code;
    link_.send_TXbuff(request);
}

void LevelCommands::LocalOffsetCheck_Click(int p) {
    if (family_.calibration().Calibrate_Flag)
        return;
    LocalOffsetSet(p, family_.page(p).LocalOffsetCheck->isChecked() ? 1 : 0);
}

void LevelCommands::LocalOffsetSet(int p, int digit) {
    if (!family_.LocalOffsetEchoGuard)
        send(p, 22, Catalogue::digitValue(digit));
    family_.LocalOffsetEchoGuard = false;
}

void LevelCommands::UnlockCheck_Click(int p) {
    send(p, 24, Catalogue::digitValue(family_.page(p).UnlockCheck->isChecked() ? 1 : 0));
}

} // namespace levelprobe
