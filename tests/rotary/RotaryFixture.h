#pragma once

#include "FakeDialogs.h"
#include "FakeSerialPort.h"
#include "LinkSupport.h"
#include "ManualScheduler.h"
#include "SchedulerTimers.h"
#include "core/link/Link.h"
#include "core/logging/Logger.h"
#include "core/protocol/Decoder.h"
#include "gui/logging/LogFrame.h"
#include "gui/logging/LogPages.h"
#include "gui/rotary/RotaryFamily.h"
#include "gui/rotary/RotaryPage.h"
#include "gui/widgets/DropDown.h"

#include <QAction>
#include <QCoreApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <memory>

// Ten encoder pages with their window controls (no filter or reset menu), sensor list,
// logger, link and decoder on a fake port; time runs on a manual clock.
struct RotaryFixture {
    RotaryFixture() {
        tabs = std::make_unique<QTabWidget>();
        std::array<logging::LogFrame*, 10> frames{};
        std::array<widgets::DropDown*, 10> periods{};
        for (size_t i = 0; i < pages.size(); ++i) {
            pages[i] = new rotary::RotaryPage;
            tabs->addTab(pages[i], QStringLiteral("page"));
            frames[i] = new logging::LogFrame(tabs.get());
            periods[i] = pages[i]->RotaryLogPeriodCombo;
        }
        list = std::make_unique<QTreeWidget>();
        list->setColumnCount(7);
        for (int i = 0; i <= 9; ++i)
            new QTreeWidgetItem(list.get(), QStringList{QString::number(i)});
        scan = std::make_unique<QPushButton>();
        for (auto& m : menus)
            m = new QAction(tabs.get());
        port = std::make_unique<testing::FakeSerialPort>(trace);
        port->open(1);
        const auto now = [] { return QDateTime(QDate(2026, 12, 6), QTime(14, 3, 27)); };
        link = std::make_unique<sdilink::Link>(*port, testing::recordingPause(trace), now, nullptr,
                                               timers);
        testing::sayWhenPortClosed(*link, dialogs);
        link->setBeeper([this] { ++beeps; });
        link->setDataRequestCode(sdilink::Code::RotaryData);
        logger = std::make_unique<logging::Logger>(*link, now);
        logging::showLogs(*logger, frames);
        logging::followPeriodLists(*logger, periods);
        for (logging::LogFrame* frame : frames)
            frame->setColumns(logging::LogModel::Layout::Rotary);
        widgets::WindowControls window{tabs.get(), scan.get(), menus[0], menus[1],
                                       nullptr,    nullptr,    menus[2], menus[3]};
        sensors = std::make_unique<rotary::RotarySensors>(*link, *logger);
        family =
            std::make_unique<rotary::RotaryFamily>(*sensors, pages, window, dialogs, list.get());
        logger->setFamily(sensors.get(), {});
        decoder = std::make_unique<protocol::Decoder>(*link, *sensors, testing::boxFor(dialogs));
        link->setHandler(decoder.get());
        trace->clear();
    }

    ~RotaryFixture() {
        link->setHandler(nullptr);
        decoder.reset();
        family.reset();
        sensors.reset();
    }

    rotary::RotaryPage& page(int p) { return *pages[static_cast<size_t>(p)]; }
    QString column(int tab, int c) const { return list->topLevelItem(tab)->text(c); }

    // Makes a request the transaction in flight (without writing it) and hands the reply
    // line to the link as the port would.
    void transact(int tab, sdilink::Code code, const QByteArray& request, const QByteArray& reply) {
        sensors->lockPage(tab);
        link->setReplyStatus(sdilink::Link::Waiting);
        link->transmit(sdilink::Transaction::forPage(tab, code, request));
        port->writes.clear();
        trace->clear();
        port->receive(reply + "\r\n");
        QCoreApplication::processEvents();
    }

    std::shared_ptr<QStringList> trace = std::make_shared<QStringList>();
    sim::ManualScheduler clock;
    sim::SchedulerTimers timers{clock};
    std::unique_ptr<QTabWidget> tabs;
    std::array<rotary::RotaryPage*, 10> pages{};
    std::unique_ptr<QTreeWidget> list;
    std::unique_ptr<QPushButton> scan;
    std::array<QAction*, 4> menus{};
    std::unique_ptr<testing::FakeSerialPort> port;
    testing::FakeDialogs dialogs;
    std::unique_ptr<sdilink::Link> link;
    std::unique_ptr<logging::Logger> logger;
    std::unique_ptr<rotary::RotarySensors> sensors;
    std::unique_ptr<rotary::RotaryFamily> family;
    std::unique_ptr<protocol::Decoder> decoder;
    int beeps = 0;
};
