// Feeds arbitrary bytes through the receiver's framing, the reply matching and the response
// decoder, under every transaction code, on a level-probe page set with a fake port and
// scripted dialogs; and through the pure reply readers of both families on their own.
//
// Input: byte 0 picks the transaction code, byte 1 the page (low nibble) and whether the
// reply starts with the request's echo and address (bit 7); the rest arrives on the serial
// line.

#include "FakeDialogs.h"
#include "FakeSerialPort.h"
#include "LinkSupport.h"
#include "ManualScheduler.h"
#include "SchedulerTimers.h"
#include "core/levelprobe/LevelAnswer.h"
#include "core/link/Link.h"
#include "core/logging/LogModel.h"
#include "core/logging/Logger.h"
#include "core/protocol/Catalogue.h"
#include "core/protocol/Decoder.h"
#include "core/protocol/ReplyLine.h"
#include "core/rotary/RotaryAnswer.h"
#include "gui/levelprobe/LevelFamily.h"
#include "gui/levelprobe/LevelPage.h"
#include "gui/logging/LogFrame.h"
#include "gui/logging/LogPages.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <array>
#include <cstdint>
#include <memory>

namespace {

// Every code of both families by its number, and a request typed by hand (99).
constexpr std::array<qint16, 56> kCodes{
    0,  1,  2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,  16,  17, 18,
    19, 20, 21,  22,  23,  24,  25,  26,  27,  28,  29,  30,  31,  32,  33,  34,  35,  36, 37,
    38, 39, 101, 102, 103, 104, 105, 106, 107, 108, 110, 111, 112, 113, 114, 116, 117, 99};

// The code of a request typed by hand: every line answers it, and the user-command window
// takes it instead of a page.
constexpr qint16 kUserCommand = 99;

QDateTime now() {
    return QDateTime::currentDateTime();
}

struct Harness {
    Harness() {
        std::array<logging::LogFrame*, 10> frames{};
        for (size_t i = 0; i < pages.size(); ++i) {
            pages[i] = new levelprobe::LevelPage;
            tabs.addTab(pages[i], QStringLiteral("page"));
            frames[i] = new logging::LogFrame(&tabs);
        }
        list.setColumnCount(9);
        for (int i = 0; i <= 9; ++i)
            new QTreeWidgetItem(&list, QStringList{QString::number(i)});
        for (auto& m : menus)
            m = new QAction(&tabs);
        port.open(1);
        // Time-outs run on a manual clock that jumps to them whenever the event loop is idle,
        // so a sequence the input starts (a unit change's re-read) ends at once.
        clock.setAutoAdvance(true);
        link = std::make_unique<sdilink::Link>(port, testing::instantPause(), now, nullptr, timers);
        link->setBeeper([] {});
        logger = std::make_unique<logging::Logger>(*link, now);
        logging::showLogs(*logger, frames);
        widgets::WindowControls window{&tabs,    &scan,    menus[0], menus[1],
                                       menus[2], menus[3], menus[4], menus[5]};
        sensors = std::make_unique<levelprobe::LevelSensors>(*link, *logger, calibration);
        sensors->setNotice(testing::boxFor(dialogs));
        family = std::make_unique<levelprobe::LevelFamily>(*sensors, pages, window, dialogs, &list);
        logger->setFamily(sensors.get(), {});
        decoder = std::make_unique<protocol::Decoder>(*link, *sensors, testing::boxFor(dialogs));
        decoder->setUserCommandSink([](const QString&) {});
        link->setHandler(decoder.get());
        link->setDataRequestCode(sdilink::Code::Data);
    }

    void run(const uint8_t* data, size_t size) {
        const qint16 number = kCodes[data[0] % kCodes.size()];
        const auto code = static_cast<sdilink::Code>(number);
        const int tab = data[1] % 10;
        const QByteArray request = protocol::Catalogue::request(tab, code, "1");
        const QByteArray body(reinterpret_cast<const char*>(data + 2),
                              static_cast<qsizetype>(size - 2));
        // The pure readers see the answer as the decoder would.
        const protocol::ReplyLine reply(QString::fromLatin1(request + char('0' + tab) + body));
        levelprobe::readLevelAnswer(code, reply);
        rotary::readRotaryAnswer(code, reply);

        sdilink::Transaction t = sdilink::Transaction::forPage(tab, code, request);
        if (number == kUserCommand) {
            t.answer = sdilink::Transaction::Answer::AnyLine;
            t.typed = true;
        }
        link->transmit(t);
        QByteArray line;
        if (data[1] & 0x80)
            line = request + char('0' + tab);
        line.append(body);
        port.receive(line);
        QCoreApplication::processEvents();
        clock.runUntilIdle(clock.now() + sim::Micros{3'600'000'000});

        // Keep what accumulates from growing across runs.
        port.writes.clear();
        port.trace->clear();
        dialogs.boxes.clear();
        link->commsLog().clear();
        for (levelprobe::LevelPage* p : pages)
            p->SensorIDList->clear();
        for (int p = 0; p <= 9; ++p)
            logger->log(p).clear();
        link->setReceiveState(sdilink::Framer::State::Idle);
    }

    QTabWidget tabs;
    std::array<levelprobe::LevelPage*, 10> pages{};
    QTreeWidget list;
    QPushButton scan;
    std::array<QAction*, 6> menus{};
    levelprobe::CalibrationState calibration;
    testing::FakeSerialPort port;
    sim::ManualScheduler clock;
    sim::SchedulerTimers timers{clock};
    testing::FakeDialogs dialogs;
    std::unique_ptr<sdilink::Link> link;
    std::unique_ptr<logging::Logger> logger;
    std::unique_ptr<levelprobe::LevelSensors> sensors;
    std::unique_ptr<levelprobe::LevelFamily> family;
    std::unique_ptr<protocol::Decoder> decoder;
};

Harness* harness = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static char* qtArgv[] = {(*argv)[0], nullptr};
    (void)argc;
    new QApplication(qtArgc, qtArgv);
    harness = new Harness;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    harness->run(data, size);
    return 0;
}
