#include "Journalling.h"

#include "RecoveryWindow.h"
#include "core/logging/JournalDisk.h"
#include "core/logging/JournalFolder.h"
#include "gui/platform/Dialogs.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QThread>

namespace app {

namespace {

QString folderOf(const AppServices& services) {
    return services.journalFolder.isEmpty() ? logging::defaultJournalFolder()
                                            : services.journalFolder;
}

} // namespace

Journalling::Journalling(const AppServices& services, logging::Logger& logger, sdilink::Link& link,
                         QMenu* fileMenu, QStatusBar* statusBar,
                         logging::LogJournals::SensorOf sensorOf)
    : services_(services), window_(statusBar->window()), runStart_(QDateTime::currentDateTime()),
      thread_(std::make_unique<logging::JournalThread>()),
      journals_(std::make_unique<logging::LogJournals>(thread_->disk(), folderOf(services),
                                                       services.clock, std::move(sensorOf))),
      logger_(logger) {
    journals_->watch(link, logger);
    logger.setListener(journals_.get());
    connect(journals_.get(), &logging::LogJournals::writeFailed, this, &Journalling::writeFailed);

    mnuOpenLogFolder = fileMenu->addAction(QStringLiteral("Open Log Folder"));
    mnuOpenLogFolder->setObjectName(QStringLiteral("mnuOpenLogFolder"));
    connect(mnuOpenLogFolder, &QAction::triggered, this, [this] {
        const QString folder = journals_->folder();
        QDir().mkpath(folder);
        const QUrl url = QUrl::fromLocalFile(folder);
        if (services_.openUrl)
            services_.openUrl(url);
        else
            QDesktopServices::openUrl(url);
    });

    JournalPanel = new QLabel(QStringLiteral("Log not saved to disk"), window_);
    JournalPanel->setObjectName(QStringLiteral("JournalPanel"));
    JournalPanel->hide();
    statusBar->addPermanentWidget(JournalPanel);
    connect(journals_.get(), &logging::LogJournals::allSavedChanged, JournalPanel,
            [this](bool saved) { JournalPanel->setVisible(!saved); });
}

Journalling::~Journalling() {
    logger_.setListener(nullptr);
    if (lookup_)
        lookup_->wait();
    journals_.reset(); // ends the journals; the thread then writes what is left
    thread_.reset();
}

logging::Logger::LogStatusWriter Journalling::statusWriter(logging::Logger::LogStatusWriter show) {
    return journals_->statusWriter(std::move(show));
}

RecoveryWindow* Journalling::recoveryWindow() const {
    return recovery_;
}

void Journalling::waitUntilWritten() {
    thread_->waitUntilWritten();
}

void Journalling::offerRecovered() {
    // A folder of long journals takes a while to read: the scan does not wait for it.
    lookup_.reset(QThread::create([this, folder = journals_->folder(), start = runStart_] {
        logging::tidyJournalFolder(folder, QDateTime::currentDateTime());
        found_ = logging::unfinishedJournals(folder, start);
        // Shown next: an old one may go at a later start.
        logging::markOffered(folder, found_);
    }));
    connect(lookup_.get(), &QThread::finished, this, &Journalling::showRecovered);
    lookup_->start();
}

QString Journalling::quitWarning() const {
    const QList<int> pages = journals_->unsavedPages();
    if (pages.isEmpty())
        return {};
    QStringList sensors;
    for (int p : pages)
        sensors << QString::number(p);
    const QString logs = pages.size() == 1 ? QStringLiteral("The log of sensor %1")
                                           : QStringLiteral("The logs of sensors %1");
    return logs.arg(sensors.join(QStringLiteral(", "))) +
           QStringLiteral(" could not be written to disk: the readings since then are kept only "
                          "in the window and are lost when the program ends, unless you keep "
                          "them with \"Save Log\" first.");
}

void Journalling::showRecovered() {
    if (!found_.isEmpty()) {
        recovery_ =
            new RecoveryWindow(*services_.dialogs, services_.clock, std::move(found_), window_);
        recovery_->setAttribute(Qt::WA_DeleteOnClose);
        recovery_->show();
    }
}

void Journalling::writeFailed(const QString& folder, const QString& reason) {
    JournalPanel->setToolTip(
        QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(folder), reason));
    if (std::exchange(told_, true))
        return;
    services_.dialogs->messageBox(
        QStringLiteral("Log on Disk"),
        QStringLiteral("The log cannot be written to the folder %1: %2.\n\nLogging goes on, "
                       "but its readings are kept only in the window; use \"Save Log\" to "
                       "keep them.")
            .arg(QDir::toNativeSeparators(folder), reason),
        platform::Dialogs::Icon::Exclamation);
}

} // namespace app
