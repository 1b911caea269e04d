#include "Fixtures.h"

#include "gui/widgets/DropDown.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>

namespace testing {

TestServices::TestServices()
    : port(std::make_unique<FakeSerialPort>(trace)), now(QDate(2026, 12, 6), QTime(14, 3, 27)) {}

app::AppServices TestServices::services() {
    TestServices* self = this;
    app::AppServices s;
    s.port = self->port.get();
    s.dialogs = &self->dialogs;
    s.pause = [self](int ms, QObject*, const std::function<void()>& then) {
        self->sleeps.append(ms);
        self->trace->append(QStringLiteral("sleep %1").arg(ms));
        then();
    };
    s.clock = [self] { return self->now; };
    // Drawing costs nothing: paced drawing keeps its shortest interval, however slow the build.
    s.settingsFile = settingsDir.filePath(QStringLiteral("Corvane sysfile.cfg"));
    s.journalFolder = journalFolder();
    s.openUrl = [self](const QUrl& url) {
        self->openedUrls << url;
        return true;
    };
    return s;
}

QString shownText(QWidget* w) {
    if (auto* box = qobject_cast<QLineEdit*>(w))
        return box->text();
    if (auto* list = qobject_cast<widgets::DropDown*>(w))
        return list->text();
    if (auto* check = qobject_cast<QCheckBox*>(w))
        return check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto* lines = qobject_cast<QListWidget*>(w)) {
        QStringList all;
        for (int i = 0; i < lines->count(); ++i)
            all << lines->item(i)->text();
        return all.join('|');
    }
    return QStringLiteral("?");
}

} // namespace testing
