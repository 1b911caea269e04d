#pragma once

#include "FakeDialogs.h"
#include "FakeSerialPort.h"
#include "Fixtures.h"
#include "LinkSupport.h"
#include "ManualScheduler.h"
#include "SchedulerTimers.h"
#include "core/link/Link.h"
#include "core/logging/LogModel.h"
#include "core/logging/Logger.h"
#include "core/protocol/Decoder.h"
#include "gui/levelprobe/LevelFamily.h"
#include "gui/levelprobe/LevelPage.h"
#include "gui/logging/LogFrame.h"
#include "gui/logging/LogPages.h"
#include "gui/widgets/DropDown.h"

#include <QAction>
#include <QCoreApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <memory>

// Ten level-probe pages with their window controls, sensor list, logger, link and decoder,
// on a fake port whose time runs on a manual clock: it stands still until a test moves it
// (or lets it jump from one due time-out to the next with setAutoAdvance). What reaches the other
// subsystems is recorded in `calls`: "measure 3" for every aM! written, "row 3 p|pu|t|tu" for every
// log row added.
struct LevelFixture {
    LevelFixture() {
        tabs = std::make_unique<QTabWidget>();
        std::array<logging::LogFrame*, 10> frames{};
        std::array<widgets::DropDown*, 10> periods{};
        for (size_t i = 0; i < pages.size(); ++i) {
            pages[i] = new levelprobe::LevelPage;
            tabs->addTab(pages[i], QStringLiteral("page"));
            frames[i] = new logging::LogFrame(tabs.get());
            periods[i] = pages[i]->LogPeriodCombo;
        }
        list = std::make_unique<QTreeWidget>();
        list->setColumnCount(9);
        for (int i = 0; i <= 9; ++i)
            new QTreeWidgetItem(list.get(), QStringList{QString::number(i) + "         "});
        scan = std::make_unique<QPushButton>();
        for (auto& m : menus)
            m = new QAction(tabs.get());
        port = std::make_unique<testing::FakeSerialPort>(trace);
        port->open(1);
        port->onWrite = [this](const QByteArray& request) {
            if (request.size() == 3 && request.endsWith("M!"))
                calls << QStringLiteral("measure %1").arg(QChar::fromLatin1(request[0]));
        };
        link = std::make_unique<sdilink::Link>(
            *port, testing::recordingPause(trace),
            [] { return QDateTime(QDate(2026, 12, 6), QTime(14, 3, 27)); }, nullptr, timers);
        testing::sayWhenPortClosed(*link, dialogs);
        link->setBeeper([this] { ++beeps; });
        logger = std::make_unique<logging::Logger>(
            *link, [] { return QDateTime(QDate(2026, 12, 6), QTime(14, 3, 27)); });
        logging::showLogs(*logger, frames);
        logging::followPeriodLists(*logger, periods);
        for (int tab = 0; tab <= 9; ++tab) {
            logging::LogModel* rows = &logger->log(tab);
            QObject::connect(rows, &QAbstractItemModel::rowsInserted, rows, [this, tab, rows] {
                calls << QStringLiteral("row %1 %2|%3|%4|%5")
                             .arg(tab)
                             .arg(rows->text(0, 2), rows->text(0, 3), rows->text(0, 4),
                                  rows->text(0, 5));
            });
        }

        widgets::WindowControls window{tabs.get(), scan.get(), menus[0], menus[1],
                                       menus[2],   menus[3],   menus[4], menus[5]};
        sensors = std::make_unique<levelprobe::LevelSensors>(*link, *logger, calibration);
        sensors->setNotice(testing::boxFor(dialogs));
        family =
            std::make_unique<levelprobe::LevelFamily>(*sensors, pages, window, dialogs, list.get());
        logger->setFamily(sensors.get(), {});
        decoder = std::make_unique<protocol::Decoder>(*link, *sensors, testing::boxFor(dialogs));
        link->setHandler(decoder.get());
        link->setDataRequestCode(sdilink::Code::Data);
        trace->clear();
    }

    ~LevelFixture() {
        link->setHandler(nullptr);
        decoder.reset();
        family.reset();
        sensors.reset();
    }

    levelprobe::LevelPage& page(int p) { return *pages[static_cast<size_t>(p)]; }
    QString column(int tab, int c) const { return list->topLevelItem(tab)->text(c); }

    // Makes a request the transaction in flight as a page handler would (without writing it)
    // and hands the reply line to the link as the port would.
    void transact(int tab, sdilink::Code code, const QByteArray& request, const QByteArray& reply) {
        sensors->lockPage(tab);
        link->setReplyStatus(sdilink::Link::Waiting);
        link->transmit(sdilink::Transaction::forPage(tab, code, request));
        port->writes.clear();
        calls.clear();
        trace->clear();
        port->preload(reply + "\r\n");
        Q_EMIT port->dataArrived();
        QCoreApplication::processEvents();
        status = link->replyStatus();
        // What the reply's branch left to follow it (a re-read) starts from the next event
        // and goes on, step by step, from the event loop.
        if (link->queued() > 0)
            testing::waitUntil([this] { return !link->busy(); });
    }

    // The status the reply given to transact() ended its exchange with.
    qint16 status = 0;
    std::shared_ptr<QStringList> trace = std::make_shared<QStringList>();
    sim::ManualScheduler clock;
    sim::SchedulerTimers timers{clock};
    std::unique_ptr<QTabWidget> tabs;
    std::array<levelprobe::LevelPage*, 10> pages{};
    std::unique_ptr<QTreeWidget> list;
    std::unique_ptr<QPushButton> scan;
    std::array<QAction*, 6> menus{};
    levelprobe::CalibrationState calibration;
    std::unique_ptr<testing::FakeSerialPort> port;
    testing::FakeDialogs dialogs;
    std::unique_ptr<sdilink::Link> link;
    std::unique_ptr<logging::Logger> logger;
    std::unique_ptr<levelprobe::LevelSensors> sensors;
    std::unique_ptr<levelprobe::LevelFamily> family;
    std::unique_ptr<protocol::Decoder> decoder;
    QStringList calls;
    int beeps = 0;
};
