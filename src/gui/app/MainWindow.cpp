#include "MainWindow.h"

#include "AboutWindow.h"
#include "BusDialogs.h"
#include "Connection.h"
#include "Journalling.h"
#include "PortMenu.h"
#include "SensorPage.h"
#include "TimingWindow.h"
#include "core/configure/FamilySettings.h"
#include "core/levelprobe/LevelScanSeries.h"
#include "core/link/Link.h"
#include "core/logging/LogPeriods.h"
#include "core/logging/Logger.h"
#include "core/platform/PortMap.h"
#include "core/platform/SerialPort.h"
#include "core/protocol/Decoder.h"
#include "core/report/ConfigReport.h"
#include "core/rotary/RotaryScanSeries.h"
#include "core/session/Session.h"
#include "gui/configure/Configuring.h"
#include "gui/console/UserCommand.h"
#include "gui/discovery/AddressChange.h"
#include "gui/discovery/Scanner.h"
#include "gui/discovery/SensorLists.h"
#include "gui/export/LogExporter.h"
#include "gui/help/HelpWindow.h"
#include "gui/levelprobe/LevelFamily.h"
#include "gui/levelprobe/LevelPage.h"
#include "gui/logging/LogFrame.h"
#include "gui/logging/LogPages.h"
#include "gui/platform/Dialogs.h"
#include "gui/report/ReportFile.h"
#include "gui/rotary/RotaryFamily.h"
#include "gui/rotary/RotaryPage.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/DropDown.h"
#include "gui/widgets/SensorColumns.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace app {

namespace {

// Chooses the logging period named in a page's list; false when the list does not offer it.
bool choosePeriod(widgets::DropDown& periods, const QString& value) {
    const int index = periods.findText(value);
    if (index < 0)
        return false;
    periods.setCurrentIndex(index);
    return true;
}

} // namespace

using Dialogs = platform::Dialogs;

MainWindow::MainWindow(const AppServices& services, QWidget* parent)
    : QMainWindow(parent), services_(services) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Tarnix - SDI-12 Device Configuration Tool "));
    platform::Timers& timers =
        services_.timers != nullptr ? *services_.timers : platform::realTimers();
    link_ = std::make_unique<sdilink::Link>(*services_.port, services_.pause, services_.clock, this,
                                            timers);
    link_->setBeeper([] { QApplication::beep(); });
    dialogs_ = std::make_unique<BusDialogs>(*services_.dialogs, *link_);
    connect(link_.get(), &sdilink::Link::waitingForBus, this,
            [this](bool waiting) { BusWaitPanel->setVisible(waiting); });
    widgets::preferUnshapedText(this);
    buildMenus();
    buildControls();
    buildStatusBar();
    std::array<logging::LogFrame*, 10> logFrames{};
    for (size_t i = 0; i < pages_.size(); ++i)
        logFrames[i] = pages_[i]->log;
    logger_ = std::make_unique<logging::Logger>(*link_, services_.clock);
    logging::showLogs(*logger_, logFrames);
    exporter_ = std::make_unique<logexport::LogExporter>(
        *dialogs_, *logger_, [this] { return SensorTab->currentIndex(); });
    journalling_ = std::make_unique<Journalling>(
        services_, *logger_, *link_, mnuFile, statusBar(), [this](int tab) {
            const int port = connection_->CommPort;
            const QString device = services_.ports ? services_.ports->path(port) : QString();
            return logging::LogJournals::Sensor{
                isRotary(), family_ ? family_->serialNumber(tab) : QString(),
                QStringLiteral("COM%1 %2").arg(port).arg(device).trimmed()};
        });

    timing_ = new TimingWindow(*link_, *dialogs_, this);
    portMenu_ = std::make_unique<PortMenu>(mnuCom, services_.ports);
    connection_ = std::make_unique<Connection>(
        *services_.port, *dialogs_, *portMenu_, *timing_,
        platform::SysData(services_.settingsFile, services_.settingsReadOnly),
        Connection::Controls{SensorTab, mnuQueryAddress, StatusBar1[1]},
        [this] { Poll_Sensors(); });
    timing_->setStoreSettings([this] { connection_->WriteSysData(connection_->CommPort); });
    connect(link_.get(), &sdilink::Link::portLost, this, [this] { connection_->portLost(); });
    for (int n = 1; n <= 16; ++n)
        connect(mnuCom[static_cast<size_t>(n - 1)], &QAction::triggered, this,
                [this, n] { connection_->mnuCom_Click(n); });

    // Logging ticks once a second; the clock in the status bar twice a second.
    SecondTimer.setInterval(1000);
    connect(&SecondTimer, &QTimer::timeout, this, [this] { logger_->SecondTimer_Timer(); });
    SecondTimer.start();
    ClockTimer.setInterval(500);
    connect(&ClockTimer, &QTimer::timeout, this, &MainWindow::ClockTimer_Timer);
    ClockTimer.start();
    ClockTimer_Timer();
}

MainWindow::~MainWindow() {
    // A sequence still waiting ends now, while everything it refers to is still there.
    if (link_->waiting())
        link_->setReplyStatus(sdilink::Link::Abandoned);
    // The decoder and the family refer to controls and to the link; drop them first.
    link_->setHandler(nullptr);
    decoder_.reset();
    scanner_.reset();
    scanSeries_.reset();
    configuring_.reset();
    session_.reset();
    settings_.reset();
    levelFamily_.reset();
    rotaryFamily_.reset();
    family_.reset();
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuSaveAs = mnuFile->addAction(QStringLiteral("Save As..."));
    mnuSaveAs->setObjectName(QStringLiteral("mnuSaveAs"));
    connect(mnuSaveAs, &QAction::triggered, this, &MainWindow::mnuSaveAs_Click);
    mnuApplyConfiguration = mnuFile->addAction(QStringLiteral("Apply Configuration..."));
    connect(mnuApplyConfiguration, &QAction::triggered, this,
            [this] { configuring_->mnuApplyConfiguration_Click(); });
    mnuCompareConfiguration = mnuFile->addAction(QStringLiteral("Compare Configuration..."));
    connect(mnuCompareConfiguration, &QAction::triggered, this,
            [this] { configuring_->mnuCompareConfiguration_Click(); });

    mnuCommsPort = bar->addMenu(QStringLiteral("&Comms Port"));
    mnuCommsPort->setObjectName(QStringLiteral("mnuCommsPort"));
    for (int n = 1; n <= 16; ++n) {
        QAction* item = mnuCommsPort->addAction(QStringLiteral("COM%1").arg(n));
        item->setObjectName(QStringLiteral("mnuCom%1").arg(n));
        item->setCheckable(true);
        mnuCom[static_cast<size_t>(n - 1)] = item;
    }

    auto topLevel = [bar](const QString& caption, const char* name) {
        QAction* item = bar->addAction(caption);
        item->setObjectName(QLatin1String(name));
        item->setEnabled(false);
        return item;
    };
    mnuReset = topLevel(QStringLiteral("&Reset Sensor"), "mnuReset");
    mnuFilter = topLevel(QStringLiteral("&Filter Settings"), "mnuFilter");
    mnuQueryAddress = topLevel(QStringLiteral("&Query Sensor Address"), "mnuQueryAddress");
    mnuUserCommand = topLevel(QStringLiteral("&User Command"), "mnuUserCommand");

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    submnuHelp = mnuHelp->addAction(QStringLiteral("Help"));
    submnuHelp->setObjectName(QStringLiteral("submnuHelp"));
    submnuAbout = mnuHelp->addAction(QStringLiteral("About"));
    submnuAbout->setObjectName(QStringLiteral("submnuAbout"));
    connect(submnuHelp, &QAction::triggered, this, &MainWindow::submnuHelp_Click);
    connect(submnuAbout, &QAction::triggered, this, &MainWindow::submnuAbout_Click);
}

void MainWindow::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    SensorTab = new QTabWidget(central);
    SensorTab->setObjectName(QStringLiteral("SensorTab"));
    SensorTab->setAccessibleName(QStringLiteral("Sensors"));
    for (int i = 0; i <= 9; ++i) {
        auto* page = new SensorPage(SensorTab);
        page->setObjectName(QStringLiteral("SensorPage%1").arg(i));
        pages_[static_cast<size_t>(i)] = page;
        SensorTab->addTab(page, QStringLiteral("Sensor %1").arg(i));
    }
    widgets::drawShownPageOnly(SensorTab);

    lists_ = new discovery::SensorLists(central);
    ScanBut = widgets::makeButton(central, "ScanBut", QStringLiteral("Re-Scan Sensors"));
    CalibrateCheck =
        widgets::makeCheckBox(central, "CalibrateCheck", QStringLiteral("Calibrate Mode"));

    auto* comms = new QGroupBox(QStringLiteral("Comms Monitor"), central);
    // Follows the newest line.
    CommsList = new QListView(comms);
    CommsList->setUniformItemSizes(true);
    CommsList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    CommsList->setObjectName(QStringLiteral("CommsList"));
    CommsList->setAccessibleName(QStringLiteral("Comms Monitor"));
    QFont mono(QStringLiteral("Monospace"));
    // Setting the hint sets the style strategy too: the window's is kept.
    mono.setStyleHint(QFont::TypeWriter, font().styleStrategy());
    CommsList->setFont(mono);
    CommsList->setModel(&link_->commsLog());
    connect(&link_->commsLog(), &QAbstractItemModel::rowsInserted, CommsList,
            [this] { CommsList->scrollToBottom(); });
    ButClearComms = widgets::makeButton(comms, "ButClearComms", QStringLiteral("Clear Comms"));
    connect(ButClearComms, &QPushButton::clicked, this, [this] { link_->commsLog().clear(); });
    auto* commsLayout = new QVBoxLayout(comms);
    commsLayout->addWidget(CommsList);
    commsLayout->addWidget(ButClearComms, 0, Qt::AlignRight);
    comms->setMinimumWidth(260);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ScanBut);
    buttons->addWidget(CalibrateCheck);
    buttons->addStretch();

    auto* grid = new QGridLayout(central);
    grid->addWidget(SensorTab, 0, 0, 1, 2);
    grid->addWidget(comms, 0, 2, 2, 1);
    grid->addWidget(lists_->ListView, 1, 0);
    grid->addWidget(lists_->RotaryListView, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->setRowStretch(0, 1);
    grid->setColumnStretch(0, 1);

    window_.SensorTab = SensorTab;
    window_.ScanBut = ScanBut;
    window_.mnuCommsPort = mnuCommsPort->menuAction();
    window_.mnuQueryAddress = mnuQueryAddress;
    window_.mnuFilter = mnuFilter;
    window_.mnuReset = mnuReset;
    window_.mnuHelp = mnuHelp->menuAction();
    window_.mnuUserCommand = mnuUserCommand;
}

void MainWindow::buildStatusBar() {
    const std::array<QString, 3> texts{QStringLiteral("    Connection Status: "),
                                       QStringLiteral("Not Connected. "), QString()};
    for (size_t i = 0; i < StatusBar1.size(); ++i) {
        auto* panel = new QLabel(texts[i], this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        StatusBar1[i] = panel;
        statusBar()->addWidget(panel, i == 1 ? 1 : 0);
    }
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    // Shown while a request has waited for the bus for a while.
    BusWaitPanel = new QLabel(QStringLiteral("Waiting for the bus..."), this);
    BusWaitPanel->setObjectName(QStringLiteral("BusWaitPanel"));
    BusWaitPanel->hide();
    statusBar()->addPermanentWidget(BusWaitPanel);
}

void MainWindow::load() {
    connection_->ScanOnConnect = 1;
    SensorTab->setCurrentIndex(0);
    SensorTab->setEnabled(false);

    if (isRotary())
        loadRotaryFamily();
    else
        loadLevelProbeFamily();
    link_->setDataRequestCode(family_->dataRequestCode());
    connectLogging();
    scanner_ =
        std::make_unique<discovery::Scanner>(*link_, *dialogs_, SensorTab, *family_, *scanSeries_,
                                             this, [this](int p) { lists_->selectRow(p); });
    connect(ScanBut, &QPushButton::clicked, this, &MainWindow::Poll_Sensors);
    decoder_ = std::make_unique<protocol::Decoder>(
        *link_, *family_, [this](const QString& title, const QString& text) {
            dialogs_->messageBox(title, text, Dialogs::Icon::Exclamation);
        });
    std::function<std::optional<int>(int)> chosen;
    std::function<void(std::function<void(int)>)> onAddressSet;
    if (levelFamily_) {
        chosen = [f = levelFamily_.get()](int p) { return f->selectedAddress(p); };
        onAddressSet = [f = levelFamily_.get()](auto set) { f->onAddressSet(std::move(set)); };
    } else {
        rotary::RotaryFamily* f = rotaryFamily_.get();
        chosen = [f](int p) { return f->selectedAddress(p); };
        onAddressSet = [f](auto set) { f->onAddressSet(std::move(set)); };
    }
    addressChange_ = std::make_unique<discovery::AddressChange>(*link_, *family_, *dialogs_,
                                                                SensorTab, *scanner_, chosen);
    onAddressSet([change = addressChange_.get()](int p) { change->AddrBut_Click(p); });
    connect(mnuQueryAddress, &QAction::triggered, this,
            [this] { addressChange_->mnuQueryAddress_Click(); });
    userCommand_ = std::make_unique<console::UserCommand>(
        *link_, *dialogs_,
        console::UserCommand::Hooks{[this](bool enabled) { setEnabled(enabled); },
                                    [this] {
                                        timing_->setWindowModality(Qt::ApplicationModal);
                                        timing_->show();
                                    },
                                    [this] { Poll_Sensors(); },
                                    [this] { return logger_->state().loggingPage.has_value(); }});
    decoder_->setUserCommandSink([this](const QString& line) { userCommand_->showReply(line); });
    connect(mnuUserCommand, &QAction::triggered, this,
            [this] { userCommand_->mnuUserCommand_Click(); });
    link_->setHandler(decoder_.get());

    portMenu_->DiscoverPorts();
    // Size the window once the chosen family's frames are in the layout.
    layout()->activate();
    resize(1280, 800);
    show();
    journalling_->offerRecovered();
    connection_->ReadSysData();
}

void MainWindow::Poll_Sensors() {
    scanner_->Poll_Sensors();
}

void MainWindow::loadRotaryFamily() {
    std::array<rotary::RotaryPage*, 10> rotaryPages{};
    for (size_t i = 0; i < pages_.size(); ++i) {
        SensorPage* p = pages_[i];
        p->showFamily(true);
        logging::fillLogPeriodList(*p->rotary->RotaryLogPeriodCombo, logging::allLogPeriods());
        rotaryPages[i] = p->rotary;
    }
    CalibrateCheck->hide();
    mnuFilter->setVisible(false);
    mnuReset->setVisible(false);
    window_.mnuFilter = nullptr;
    window_.mnuReset = nullptr;
    lists_->showFamily(true);
    auto encoders = std::make_unique<rotary::RotarySensors>(*link_, *logger_);
    rotaryFamily_ = std::make_unique<rotary::RotaryFamily>(*encoders, rotaryPages, window_,
                                                           *dialogs_, lists_->RotaryListView);
    scanSeries_ = std::make_unique<rotary::RotaryScanSeries>(*encoders);
    report_ = [s = encoders.get()](int p) { return report::rotaryReport(s->record(p), p); };
    auto settings = std::make_unique<configure::RotarySettings>(
        *encoders, [f = rotaryFamily_.get()](int p, const QString&, const QString& value) {
            return choosePeriod(*f->page(p).RotaryLogPeriodCombo, value);
        });
    family_ = std::move(encoders);
    startSession(std::move(settings));
}

void MainWindow::startSession(std::unique_ptr<configure::SettingsAccess> settings) {
    settings_ = std::move(settings);
    session_ = std::make_unique<session::Session>(*link_, *family_, *settings_, *logger_);
    configuring_ =
        std::make_unique<configure::Configuring>(*settings_, *link_, *dialogs_, SensorTab, this);
}

void MainWindow::loadLevelProbeFamily() {
    std::array<levelprobe::LevelPage*, 10> levelPages{};
    for (size_t i = 0; i < pages_.size(); ++i) {
        SensorPage* p = pages_[i];
        p->showFamily(false);
        levelprobe::LevelPage* level = p->level;
        level->LogPeriodCombo->setCurrentIndex(0);
        level->LocalGravityText->clear();
        level->setToolTips();
        level->fillPressureUnits();
        levelPages[i] = level;
    }
    CalibrateCheck->show();
    mnuFilter->setVisible(true);
    mnuReset->setVisible(true);
    lists_->showFamily(false);
    auto sensors = std::make_unique<levelprobe::LevelSensors>(*link_, *logger_, calibration_);
    sensors->setNotice([this](const QString& title, const QString& text) {
        dialogs_->messageBox(title, text, Dialogs::Icon::Exclamation);
    });
    levelFamily_ = std::make_unique<levelprobe::LevelFamily>(*sensors, levelPages, window_,
                                                             *dialogs_, lists_->ListView);
    levelprobe::LevelFamily* family = levelFamily_.get();
    scanSeries_ = std::make_unique<levelprobe::LevelScanSeries>(*sensors);
    family->calibrationMode().setCalibrateCheck(CalibrateCheck);
    connect(mnuFilter, &QAction::triggered, this, [family] { family->filter().mnuFilter_Click(); });
    connect(mnuReset, &QAction::triggered, this, [family] { family->reset().mnuReset_Click(); });
    report_ = [s = sensors.get()](int p) { return report::levelReport(s->record(p), p); };
    auto settings = std::make_unique<configure::LevelSettings>(
        *sensors, [family](int p, const QString&, const QString& value) {
            return choosePeriod(*family->page(p).LogPeriodCombo, value);
        });
    family_ = std::move(sensors);
    startSession(std::move(settings));
}

const logging::LoggingState& MainWindow::loggingState() const {
    return logger_->state();
}

// The logging buttons of every page, the periods the ticks read and the sensor list's
// "Log Status" column, for the chosen family.
void MainWindow::connectLogging() {
    const bool rotary = isRotary();
    std::array<widgets::DropDown*, 10> periods{};
    for (size_t i = 0; i < pages_.size(); ++i) {
        SensorPage* p = pages_[i];
        const int tab = static_cast<int>(i);
        logging::Logger* log = logger_.get();
        if (rotary) {
            periods[i] = p->rotary->RotaryLogPeriodCombo;
            connect(p->rotary->RotaryStartLogBut, &QPushButton::clicked, this,
                    [log, tab] { log->RotaryStartLogBut_Click(tab); });
            connect(p->rotary->RotaryStopLogBut, &QPushButton::clicked, this,
                    [log, tab] { log->RotaryStopLogBut_Click(tab); });
        } else {
            periods[i] = p->level->LogPeriodCombo;
            connect(p->level->StartLogBut, &QPushButton::clicked, this,
                    [log, tab] { log->StartLogBut_Click(tab); });
            connect(p->level->StopLogBut, &QPushButton::clicked, this,
                    [log, tab] { log->StopLogBut_Click(tab); });
            connect(p->level->PressureBut, &QPushButton::clicked, this,
                    [log, tab] { log->PressureBut_Click(tab); });
        }
        connect(p->log->ClearLogBut, &QPushButton::clicked, this,
                [log, tab] { log->ClearLogBut_Click(tab); });
        connect(p->log->SaveLogBut, &QPushButton::clicked, this,
                [this, tab] { exporter_->SaveLogBut_Click(tab); });
    }
    QTreeWidget* list = rotary ? lists_->RotaryListView : lists_->ListView;
    const int logStatusColumn = rotary ? static_cast<int>(widgets::RotaryColumn::LogStatus)
                                       : static_cast<int>(widgets::LevelColumn::LogStatus);
    logging::followPeriodLists(*logger_, periods);
    logger_->setFamily(family_.get(), journalling_->statusWriter(
                                          [list, logStatusColumn](int tab, const QString& text) {
                                              widgets::setRowText(list, tab, logStatusColumn, text);
                                          }));
}

void MainWindow::ClockTimer_Timer() {
    const QDateTime now = services_.clock();
    StatusBar1[2]->setText(platform::shortDateText(now.date()) + QLatin1Char(' ') +
                           platform::longTimeText(now.time()) + QStringLiteral("  "));
}

void MainWindow::submnuHelp_Click() {
    if (!help_) {
        help_ = new help::HelpWindow(this);
        help_->setAttribute(Qt::WA_DeleteOnClose);
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void MainWindow::mnuSaveAs_Click() {
    if (report_)
        report::saveReport(*dialogs_, report_(SensorTab->currentIndex()));
}

void MainWindow::submnuAbout_Click() {
    if (!about_) {
        about_ = new AboutWindow(this);
        about_->setAttribute(Qt::WA_DeleteOnClose);
    }
    about_->show();
    about_->raise();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    QString question = QStringLiteral("Are you sure you want to quit?");
    if (const QString lost = journalling_->quitWarning(); !lost.isEmpty())
        question += QStringLiteral("\n\n") + lost;
    if (!dialogs_->confirm(QStringLiteral("Quit."), question)) {
        event->ignore();
        return;
    }
    // A scan or sequence waiting for a reply stops here instead of going on without a port.
    if (scanner_)
        scanner_->cancel();
    // Nothing waiting for the bus goes any more.
    link_->setReplyStatus(sdilink::Link::Abandoned);
    if (services_.port->isOpen())
        services_.port->close();
    SecondTimer.stop();
    ClockTimer.stop();
    link_->TimeoutTimer().stop();
    link_->setReceiveState(
        sdilink::Framer::State::Idle); // no data request after the port is closed
    if (about_)
        about_->close();
    if (help_)
        help_->close();
    timing_->close();
    // The user-command window goes with the main window, without its rescan question.
    userCommand_->hide();
    configuring_->closeWindow();
    event->accept();
}

} // namespace app
