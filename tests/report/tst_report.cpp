#include "Fixtures.h"
#include "Unprivileged.h"
#include "core/levelprobe/LevelSensors.h"
#include "core/report/ConfigReport.h"
#include "core/rotary/RotarySensors.h"
#include "gui/app/MainWindow.h"
#include "gui/widgets/DropDown.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <csignal>
#include <sys/resource.h>

namespace {

const QByteArray kOld = QByteArray("old report\r\n").repeated(50);

// A window of one family whose stored port does not open (no scan), showing page 3, whose
// record holds the identification lines, the serial number and a distinct value in every
// field, so that a label taking another field's value shows up; the page's logging period
// list has an entry selected.
std::unique_ptr<app::MainWindow> window(testing::TestServices& t, bool rotary,
                                        const QStringList& ids) {
    t.port->availablePorts = {16};
    auto w = std::make_unique<app::MainWindow>(t.services());
    rotary ? w->setRotaryEncoderSensorType() : w->setLevelProbeSensorType();
    w->load();
    w->SensorTab->setCurrentIndex(3);
    if (rotary) {
        rotary::RotaryRecord& r = dynamic_cast<rotary::RotarySensors&>(w->family()).record(3);
        r.identification = ids;
        r.serialNumber = "../47 11";
        r.countsPerRev = "1024";
        r.measurementRes = "0.3";
        r.units = 1;
        r.pulleyCircumference = "1200";
        r.direction = 0;
    } else {
        levelprobe::LevelRecord& r = dynamic_cast<levelprobe::LevelSensors&>(w->family()).record(3);
        r.identification = ids;
        r.serialNumber = "../47 11";
        r.range = "10";
        r.maxOverRange = "12.5";
        r.pressureUnit = 13;
        r.temperatureUnit = 1;
        r.densityCorrection = 0;
        r.localGravity = "9.81";
        r.localLevel = "0.25";
        r.reverse = 1;
        r.sampleRate = "2";
    }
    QWidget* page = w->SensorTab->widget(3);
    for (auto* list : page->findChildren<widgets::DropDown*>())
        if (list->findText("1 Second") >= 0)
            list->setCurrentIndex(list->findText("1 Second"));
    if (rotary)
        page->findChild<QLineEdit*>("RotaryMaxRangeText")->setText("50");
    t.dialogs.boxes.clear(); // the port that did not open
    return w;
}

} // namespace

class ReportTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void linesOfARecord();
    void saveAs_data();
    void saveAs();
};

// The report is the record's: what the sensor has not said is empty, a unit code or index
// the lists do not hold reads as nothing, and one second is singular.
void ReportTest::linesOfARecord() {
    levelprobe::LevelRecord level;
    QCOMPARE(report::levelReport(level, 0).lines,
             (QStringList{"Serial Number = ", "Sensor Address = 0", "Range = ",
                          "Maximium Over Range = ", "Pressure Units = ", "Temperature Units = ",
                          "Density Correction = ", "Local Gravity = ", "Local Level = ",
                          "Reverse = ", "Max. Sample Rate = ", "Logging Period = "}));
    level.pressureUnit = 4; // no unit has code 4
    level.temperatureUnit = 2;
    level.reverse = -1;
    level.sampleRate = "1";
    level.serialNumber = "a/b";
    const report::ConfigReport r = report::levelReport(level, 7);
    QCOMPARE(r.proposedName, QStringLiteral("Sensor_7_ab"));
    QCOMPARE(r.lines.mid(4, 4), (QStringList{"Pressure Units = ", "Temperature Units = ",
                                             "Density Correction = ", "Local Gravity = "}));
    QCOMPARE(r.lines.at(9), QStringLiteral("Reverse = "));
    QCOMPARE(r.lines.at(10), QStringLiteral("Max. Sample Rate = 1 Second"));

    rotary::RotaryRecord encoder;
    encoder.identification = {"013MAKER ENC", "v1"};
    encoder.units = 3;
    encoder.direction = 1;
    const report::ConfigReport e = report::rotaryReport(encoder, 2);
    QCOMPARE(e.proposedName, QStringLiteral("Rotary Encoder_2_"));
    QCOMPARE(e.lines.mid(0, 4),
             (QStringList{"013MAKER ENC", "v1", "Serial Number = ", "Sensor Address = 2"}));
    QCOMPARE(e.lines.at(7), QStringLiteral("Measurement Units = Feet"));
    QCOMPARE(e.lines.at(9), QStringLiteral("Rotation Direction = Clockwise"));
}

void ReportTest::saveAs_data() {
    QTest::addColumn<bool>("rotary");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("box");
    QTest::newRow("level probe")
        << false << QStringList{"013CORVANE PT2X", "Gauge"} << "save"
        << QByteArray("013CORVANE PT2X\r\nGauge\r\nSerial Number = ../47 11\r\nSensor Address = "
                      "3\r\nRange = 10\r\nMaximium Over Range = 12.5\r\nPressure Units = mbar\r\n"
                      "Temperature Units = Fahrenheit\r\nDensity Correction = Compensated\r\n"
                      "Local Gravity = 9.81\r\nLocal Level = 0.25\r\nReverse = On\r\n"
                      "Max. Sample Rate = 2 Seconds\r\nLogging Period = 1 Second\r\n")
        << "";
    QTest::newRow("rotary encoder, nothing identified")
        << true << QStringList{} << "save"
        << QByteArray("Serial Number = ../47 11\r\nSensor Address = 3\r\nMaximum Range = 50\r\n"
                      "Counts Per Revolution = 1024\r\nMeasurement Resolution = 0.3\r\n"
                      "Measurement Units = Millimetres\r\nPulley Circumference (mm) = 1200\r\n"
                      "Rotation Direction = Anticlockwise\r\nLogging Period = 1 Second\r\n")
        << "";
    QTest::newRow("cancelled dialog") << false << QStringList{} << "cancel" << kOld << "";
    QTest::newRow("read-only folder") << false << QStringList{} << "read-only" << kOld
                                      << "Error encountered while saving file. 5";
    QTest::newRow("disk full") << true << QStringList{} << "size limit" << kOld
                               << "Error encountered while saving file. 2";
}

// "Save As..." over a longer existing report, read back. A cancelled dialog or a failed write
// leaves the old report byte for byte and no other file beside it, nor under the proposed
// name in the current folder.
void ReportTest::saveAs() {
    QFETCH(bool, rotary);
    QFETCH(QStringList, ids);
    QFETCH(QString, how);
    QFETCH(QByteArray, file);
    QFETCH(QString, box);
    testing::TestServices t;
    auto w = window(t, rotary, ids);
    QTemporaryDir dir;
    const QString name = rotary ? "Rotary Encoder_3_4711" : "Sensor_3_4711";
    const QString path = dir.filePath(name);
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write(kOld) == kOld.size());
    old.close();
    const QString cwd = QDir::currentPath();
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit unchanged = limit;
    const auto onSigxfsz = std::signal(SIGXFSZ, SIG_IGN);
    const auto restore = qScopeGuard([&] {
        setrlimit(RLIMIT_FSIZE, &unchanged);
        std::signal(SIGXFSZ, onSigxfsz);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir::setCurrent(cwd);
    });
    QDir::setCurrent(dir.path());
    if (how != "cancel")
        t.dialogs.saveChoices.enqueue(platform::Dialogs::SaveChoice{path});
    if (how == "read-only")
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    limit.rlim_cur = 16; // no file may grow beyond 16 bytes: writes fail as on a full disk
    QVERIFY(how != "size limit" || setrlimit(RLIMIT_FSIZE, &limit) == 0);
    {
        testing::Unprivileged asUser; // root would write into the read-only folder
        w->mnuSaveAs->trigger();
    }
    setrlimit(RLIMIT_FSIZE, &unchanged);

    QCOMPARE(t.dialogs.saveTitle + "|" + t.dialogs.saveSuggestion + "|" +
                 t.dialogs.saveFilters.join(";"),
             "Select Filename to Save As|" + name + "|Text Files(*.txt)");
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), file);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{name});
    QStringList boxes;
    for (const auto& shown : t.dialogs.boxes)
        boxes << shown.title + "|" + shown.text;
    QCOMPARE(boxes, box.isEmpty() ? QStringList{} : QStringList{"Save Config|" + box});
}

QTEST_MAIN(ReportTest)
#include "tst_report.moc"
