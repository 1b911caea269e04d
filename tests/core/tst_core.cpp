#include "Bus.h"
#include "BusPort.h"
#include "ManualScheduler.h"
#include "SchedulerTimers.h"
#include "Wait.h"
#include "core/levelprobe/LevelAnswer.h"
#include "core/levelprobe/LevelRecord.h"
#include "core/levelprobe/LevelSettingTable.h"
#include "core/link/Link.h"
#include "core/logging/JournalDisk.h"
#include "core/logging/JournalReader.h"
#include "core/logging/LogJournals.h"
#include "core/logging/LogModel.h"
#include "core/logging/Logger.h"
#include "core/protocol/Catalogue.h"
#include "core/protocol/Decoder.h"
#include "core/protocol/Family.h"
#include "core/protocol/ReplyLine.h"
#include "core/rotary/RotaryAnswer.h"
#include "core/rotary/RotaryRecord.h"
#include "core/rotary/RotarySettingTable.h"

#include <QCoroTask>
#include <QTemporaryDir>
#include <QTest>
#include <array>

// The core alone, as the command-line program and any script use it: a QCoreApplication, no
// window, no widgets (the executable links none; the ctest check core_links_no_gui says so).
class CoreTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bothFamiliesAnswerIntoRecords();
    void tenReadingLogJournalled();
    void settingsCheckedAsThePageChecksThem_data();
    void settingsCheckedAsThePageChecksThem();
};

namespace {

using sdilink::Code;
using sdilink::Link;

// A family without pages: replies go into the records, readings into the logger.
class Records final : public protocol::Family {
public:
    Records(Link& link, bool rotary) : link_(link), rotary_(rotary) {}

    bool isRotary() const override { return rotary_; }
    QString serialNumber(int page) const override {
        return rotary_ ? encoders[static_cast<size_t>(page)].serialNumber
                       : probes[static_cast<size_t>(page)].serialNumber;
    }
    Code dataRequestCode() const override { return rotary_ ? Code::RotaryData : Code::Data; }
    Code measureCode() const override { return rotary_ ? Code::RotaryMeasure : Code::Measure; }
    void lockPage(int) override {}
    void unlockPage(int) override {}

    bool decodeReply(const sdilink::Transaction& t, const protocol::ReplyLine& line) override {
        const auto p = static_cast<size_t>(t.page);
        if (rotary_) {
            const rotary::RotaryAnswer a = rotary::readRotaryAnswer(t.code, line);
            encoders[p].take(t.code, a);
            return a.known;
        }
        const levelprobe::LevelAnswer a = levelprobe::readLevelAnswer(t.code, line);
        probes[p].take(t.code, a);
        if (t.code == Code::Measure) {
            // The data request after the service request, or after the pause.
            if (a.wait > 0)
                link_.awaitServiceRequest(a.wait);
            else
                link_.requestDataAfterPause(t.page);
        } else if (t.code == Code::Data && logger != nullptr && a.hasValues) {
            logger->AddLogRow(t.page, a.first, probes[p].pressureUnitText(), a.second,
                              probes[p].temperatureUnitText());
        }
        return a.known;
    }

    std::array<levelprobe::LevelRecord, 10> probes{};
    std::array<rotary::RotaryRecord, 10> encoders{};
    logging::Logger* logger = nullptr;

private:
    Link& link_;
    bool rotary_;
};

// The simulated bus in this process, on a clock that jumps from one due event to the next.
struct Bench {
    explicit Bench(bool rotary) : family(link, rotary) {
        clock.setAutoAdvance(true);
        bus.setPacing(false);
        port.open(1);
        link.setHandler(&decoder);
        link.setDataRequestCode(family.dataRequestCode());
    }

    // One query of a sequence, as the scan asks it.
    QCoro::Task<bool> ask(int address, Code code) {
        co_return co_await link.transact([this, address, code] {
            link.transmit(sdilink::Transaction::forPage(
                address, code, protocol::Catalogue::request(address, code)));
        });
    }

    sim::ManualScheduler clock;
    sim::SchedulerTimers timers{clock};
    sim::Bus bus{clock};
    sim::BusPort port{bus};
    Link link{port, [](int, QObject*, const std::function<void()>& then) { then(); },
              [] { return QDateTime(QDate(2026, 12, 10), QTime(9, 0)); }, nullptr, timers};
    Records family;
    protocol::Decoder decoder{link, family, [](const QString&, const QString&) {}};
};

// The scan's questions to every address, in one sequence: who answers, and what.
QCoro::Task<QList<int>> scan(Bench& b, QList<Code> series) {
    const Link::Sequence holds(b.link, true);
    QList<int> found;
    for (int address = 0; address <= 9; ++address) {
        if (!co_await b.ask(address, series.first()))
            continue;
        found << address;
        for (Code code : series.mid(1))
            co_await b.ask(address, code);
    }
    co_return found;
}

} // namespace

void CoreTest::bothFamiliesAnswerIntoRecords() {
    Bench levels(false);
    levels.bus.addLevelProbe('2');
    levels.bus.addLevelProbe('7');
    const QList<int> probes =
        QCoro::waitFor(scan(levels, {Code::PressUnitsQuery, Code::LocalGravityQuery,
                                     Code::SerialNumberQuery, Code::RangeQuery}));
    QCOMPARE(probes, (QList<int>{2, 7}));
    for (int p : probes) {
        const levelprobe::LevelRecord& r = levels.family.probes[static_cast<size_t>(p)];
        QVERIFY(!r.pressureUnitText().isEmpty());
        QVERIFY(!r.localGravity.isEmpty());
        QVERIFY(!r.serialNumber.isEmpty());
        QVERIFY(!r.range.isEmpty());
    }
    QVERIFY(levels.family.probes[0].range.isEmpty());

    Bench encoders(true);
    encoders.bus.addRotaryEncoder('4');
    const QList<int> found =
        QCoro::waitFor(scan(encoders, {Code::RotaryUnitsQuery, Code::RotaryCircumferenceQuery,
                                       Code::RotaryCountsQuery}));
    QCOMPARE(found, QList<int>{4});
    QVERIFY(!encoders.family.encoders[4].unitsText().isEmpty());
    QVERIFY(!encoders.family.encoders[4].countsPerRev.isEmpty());
    QVERIFY(!encoders.link.busy());
}

void CoreTest::tenReadingLogJournalled() {
    // Sensor 3 logged at one second for ten ticks: ten rows in the log and in its journal,
    // which reads back finished once the journals are closed.
    Bench b(false);
    b.bus.addLevelProbe('3');
    QTemporaryDir dir;
    logging::Logger logger(b.link, [] { return QDateTime(QDate(2026, 12, 10), QTime(9, 0)); });
    logger.setFamily(&b.family, {});
    b.family.logger = &logger;
    QString path;
    {
        logging::JournalThread thread;
        logging::LogJournals journals(
            thread.disk(), dir.path(), [] { return QDateTime(QDate(2026, 12, 10), QTime(9, 0)); },
            [](int) {
                return logging::LogJournals::Sensor{false, QStringLiteral("3"), {}};
            });
        logger.setListener(&journals);
        journals.watch(b.link, logger);
        logger.setPeriod(3, 1);
        logger.StartLogBut_Click(3);
        QVERIFY(testing::waitUntil([&] { return !b.link.busy(); }));
        for (int tick = 1; tick < 10; ++tick) {
            logger.SecondTimer_Timer();
            QVERIFY(testing::waitUntil([&] { return !b.link.busy(); }));
        }
        logger.StopLogBut_Click(3);
        QCOMPARE(logger.log(3).rowCount(), 10);
        QCOMPARE(journals.missed(3), 0);
        thread.waitUntilWritten();
        // The disk names the file it made from its own thread.
        QVERIFY(testing::waitUntil([&] { return !journals.path(3).isEmpty(); }));
        path = journals.path(3);
        logger.setListener(nullptr);
    }
    logging::LogModel read(logging::LogModel::Layout::LevelProbe);
    logging::readJournal(path, &read);
    QCOMPARE(read.rowCount(), 10);
    QVERIFY(logging::journalFinished(path));
    QCOMPARE(read.text(0, 2), logger.log(3).text(0, 2));
}

void CoreTest::settingsCheckedAsThePageChecksThem_data() {
    QTest::addColumn<bool>("rotary");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("unlocked");
    QTest::addColumn<QString>("outcome"); // the refusal, or what goes
    QTest::newRow("unit by any name") << false << "pressure-units"
                                      << "bar" << false << "entry 3";
    QTest::newRow("unit not listed")
        << false << "Pressure Units"
        << "mbr" << false << "\"mbr\" is not in the list of pressure units.";
    QTest::newRow("gravity adds the zero") << false << "LOCAL  gravity"
                                           << ".5" << false << "0.5";
    QTest::newRow("gravity unsigned")
        << false << "Local Gravity"
        << "-9.8" << false << "\"-9.8\" is not a number the page's box takes.";
    QTest::newRow("level signed") << false << "local_level"
                                  << "-.25" << false << "-.25";
    QTest::newRow("range locked") << false << "Range"
                                  << "10" << false
                                  << "Needs \"Unlock\" ticked on the page, as its Set does.";
    QTest::newRow("range unlocked") << false << "Range"
                                    << "10" << true << "10";
    QTest::newRow("range, two dots")
        << false << "Range"
        << "1.0.0" << true << "\"1.0.0\" is not a number the page's box takes.";
    QTest::newRow("no value") << false << "Local Level"
                              << "" << false << "The file gives no value.";
    QTest::newRow("circumference with a plus") << true << "pulley circumference (mm)"
                                               << "+200" << false << "+200";
    QTest::newRow("direction") << true << "Rotation Direction"
                               << "Clockwise" << false << "entry 1";
    QTest::newRow("unknown setting") << false << "Max. Sample Rate"
                                     << "2" << false << "none";
}

void CoreTest::settingsCheckedAsThePageChecksThem() {
    QFETCH(bool, rotary);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(bool, unlocked);
    QFETCH(QString, outcome);
    const protocol::Setting* s =
        protocol::findSetting(rotary ? rotary::settingTable() : levelprobe::settingTable(), name);
    if (outcome == "none") {
        QVERIFY(s == nullptr);
        return;
    }
    QVERIFY(s != nullptr);
    const QString refused = protocol::refusal(*s, value, unlocked);
    const QString goes = s->isList()
                             ? QStringLiteral("entry %1").arg(*protocol::entryIndex(*s, value))
                             : protocol::sentNumber(*s, value);
    QCOMPARE(refused.isEmpty() ? goes : refused, outcome);
}

QTEST_GUILESS_MAIN(CoreTest)
#include "tst_core.moc"
