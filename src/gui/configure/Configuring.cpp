#include "Configuring.h"

#include "ConfigureWindow.h"
#include "core/link/Link.h"
#include "gui/platform/Dialogs.h"

#include <QFile>
#include <QFileInfo>
#include <QTabWidget>

namespace configure {

namespace {

// More than any report holds: a bigger file is refused without being read whole.

QString familyName(bool rotary) {
    return rotary ? QStringLiteral("rotary-encoder") : QStringLiteral("level-probe");
}

} // namespace

Configuring::Configuring(SettingsAccess& access, sdilink::Link& link, platform::Dialogs& dialogs,
                         QTabWidget* tabs, QWidget* parent)
    : access_(access), link_(link), dialogs_(dialogs), tabs_(tabs), parent_(parent) {}

Configuring::~Configuring() {
    delete window_;
}

std::optional<report::ReadReport> Configuring::readFile(const QString& title, const QString& path) {
    const report::ReadReport read = report::readReportFile(path);
    QString error = read.error;
    if (read.ok && read.rotary != access_.rotary()) {
        const report::ReportSetting& first = read.settings.first();
        error = QStringLiteral("Line %1 (\"%2 = %3\") belongs to a %4 configuration report; "
                               "the sensors here are %5s.")
                    .arg(first.line)
                    .arg(first.label, first.value, familyName(read.rotary),
                         access_.rotary() ? QStringLiteral("rotary encoder")
                                          : QStringLiteral("level probe"));
    }
    if (error.isEmpty())
        return read;
    dialogs_.messageBox(title, error, platform::Dialogs::Icon::Exclamation);
    return std::nullopt;
}

std::optional<report::ReadReport> Configuring::chooseFile(const QString& title, QString* name) {
    const std::optional<QString> path = dialogs_.openFile(
        // "Save As..." adds no extension to the name it proposes: every file is offered first.
        title, {QStringLiteral("All Files (*)"), QStringLiteral("Text Files (*.txt)")});
    if (!path)
        return std::nullopt;
    *name = QFileInfo(*path).fileName();
    return readFile(title, *path);
}

ConfigureWindow* Configuring::openWindow(bool applying) {
    if (window_ && window_->applying()) {
        window_->raise();
        return nullptr;
    }
    delete window_;
    window_ = new ConfigureWindow(
        applying ? ConfigureWindow::Mode::Apply : ConfigureWindow::Mode::Compare, access_, link_,
        dialogs_, tabs_->currentIndex(),
        [access = &access_] {
            QList<int> found;
            for (int p = 0; p <= 9; ++p)
                if (access->present(p))
                    found << p;
            return found;
        },
        parent_);
    return window_;
}

void Configuring::mnuApplyConfiguration_Click() {
    if (window_ && window_->applying()) {
        // One apply at a time: the one running is shown, with its "Stop".
        window_->show();
        window_->raise();
        return;
    }
    const QString title = QStringLiteral("Apply Configuration");
    QString name;
    const std::optional<report::ReadReport> file = chooseFile(title, &name);
    if (!file)
        return;
    if (ConfigureWindow* w = openWindow(true)) {
        w->setFile(*file, name);
        w->show();
    }
}

void Configuring::closeWindow() {
    if (window_)
        window_->hide();
}

void Configuring::mnuCompareConfiguration_Click() {
    ConfigureWindow* w = openWindow(false);
    if (w == nullptr)
        return;
    connect(w, &ConfigureWindow::fileWanted, this, [this, w] {
        QString name;
        if (const auto file = chooseFile(QStringLiteral("Compare Configuration"), &name))
            w->setFile(*file, name);
    });
    w->show();
}

} // namespace configure
