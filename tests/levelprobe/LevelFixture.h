#pragma once

#include "FakeDialogs.h"
#include "FakeSerialPort.h"
#include "levelprobe/LevelFamily.h"
#include "levelprobe/LevelPage.h"
#include "link/Link.h"
#include "logging/LoggingState.h"
#include "protocol/Decoder.h"

#include <QAction>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <memory>

// Ten level-probe pages with their window controls, sensor list, link and decoder, on a fake
// port; every hook into the other subsystems is recorded in `calls`.
struct LevelFixture {
    LevelFixture() {
        tabs = std::make_unique<QTabWidget>();
        for (auto& p : pages) {
            p = new levelprobe::LevelPage;
            tabs->addTab(p, QStringLiteral("page"));
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
        link = std::make_unique<sdilink::Link>(
            *port, dialogs, [this](int ms) { trace->append(QStringLiteral("sleep %1").arg(ms)); },
            [] { return QDateTime(QDate(2026, 12, 6), QTime(14, 3, 27)); });
        link->setBeeper([this] { ++beeps; });

        levelprobe::LevelHooks hooks;
        hooks.LevelMeasure = [this](int tab) { calls << QStringLiteral("measure %1").arg(tab); };
        hooks.AddLogRow = [this](int tab, const QString& p, const QString& pu, const QString& t,
                                 const QString& tu) {
            calls << QStringLiteral("row %1 %2|%3|%4|%5").arg(tab).arg(p, pu, t, tu);
        };
        hooks.moveLog = [this](int from, int to) {
            calls << QStringLiteral("move log %1 %2").arg(from).arg(to);
        };
        hooks.RequeryLevelPage = [this](int tab) {
            calls << QStringLiteral("requery %1").arg(tab);
        };
        hooks.FillLogPeriods = [this](int tab) { calls << QStringLiteral("periods %1").arg(tab); };
        hooks.showFilter = [this](int r, int i, const QString& s) {
            calls << QStringLiteral("filter %1 %2 %3").arg(r).arg(i).arg(s);
        };
        protocol::WindowControls window{tabs.get(), scan.get(), menus[0], menus[1],
                                        menus[2],   menus[3],   menus[4], menus[5]};
        family = std::make_unique<levelprobe::LevelFamily>(pages, window, logging, calibration,
                                                           *link, dialogs, list.get(), hooks);
        decoder = std::make_unique<protocol::Decoder>(*link, *family, dialogs,
                                                      [this] { return tabs->currentIndex(); });
        link->setHandler(decoder.get());
        link->setDataRequestCode(12);
        link->BeepOnReply = true;
        trace->clear();
    }

    ~LevelFixture() {
        link->setHandler(nullptr);
        decoder.reset();
        family.reset();
    }

    levelprobe::LevelPage& page(int p) { return *pages[static_cast<size_t>(p)]; }
    QString column(int tab, int c) const { return list->topLevelItem(tab)->text(c); }

    // Sends a request as a page handler would and hands the reply line to the decoder.
    void transact(int tab, qint16 code, const QByteArray& request, const QByteArray& reply) {
        tabs->setCurrentIndex(tab);
        family->LockLevelPage(tab);
        link->setReplyStatus(sdilink::Link::Waiting);
        link->strSent_Command = QString::fromLatin1(request);
        link->CommandMode = code;
        trace->clear();
        sdilink::ReceiveBuffer buff;
        buff.Data = reply;
        buff.Count = static_cast<qint16>(reply.size());
        buff.Complete = true;
        decoder->Decode_SDI12(buff);
    }

    std::shared_ptr<QStringList> trace = std::make_shared<QStringList>();
    std::unique_ptr<QTabWidget> tabs;
    std::array<levelprobe::LevelPage*, 10> pages{};
    std::unique_ptr<QTreeWidget> list;
    std::unique_ptr<QPushButton> scan;
    std::array<QAction*, 6> menus{};
    logging::LoggingState logging;
    levelprobe::CalibrationState calibration;
    std::unique_ptr<testing::FakeSerialPort> port;
    testing::FakeDialogs dialogs;
    std::unique_ptr<sdilink::Link> link;
    std::unique_ptr<levelprobe::LevelFamily> family;
    std::unique_ptr<protocol::Decoder> decoder;
    QStringList calls;
    int beeps = 0;
};
