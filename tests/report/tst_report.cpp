#include "Fixtures.h"
#include "Unprivileged.h"
#include "app/MainWindow.h"
#include "discovery/SensorLists.h"
#include "widgets/DropDown.h"

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

// A window of one family whose stored port does not open (no scan), showing page 3 with its
// identification lines and serial number; every box and drop-down list of the page shows its
// own name, so that a label taking another control's text shows up, and the logging period
// list has an entry selected.
std::unique_ptr<app::MainWindow> window(testing::TestServices& t, bool rotary,
                                        const QStringList& ids) {
    t.port->availablePorts = {16};
    auto w = std::make_unique<app::MainWindow>(t.services());
    rotary ? w->setRotaryEncoderSensorType() : w->setLevelProbeSensorType();
    w->load();
    (rotary ? w->lists().RotaryListView : w->lists().ListView)
        ->topLevelItem(3)
        ->setText(1, "../47 11");
    w->SensorTab->setCurrentIndex(3);
    QWidget* page = w->SensorTab->widget(3);
    for (auto* box : page->findChildren<QLineEdit*>())
        box->setText(box->objectName());
    for (auto* list : page->findChildren<widgets::DropDown*>())
        list->findText("1 Second") < 0 ? list->setText(list->objectName())
                                       : list->setCurrentIndex(list->findText("1 Second"));
    for (auto* list : page->findChildren<QListWidget*>())
        list->addItems(ids);
    t.dialogs.boxes.clear(); // the port that did not open
    return w;
}

} // namespace

class ReportTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void saveAs_data();
    void saveAs();
};

void ReportTest::saveAs_data() {
    QTest::addColumn<bool>("rotary");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("box");
    QTest::newRow("level probe")
        << false << QStringList{"013CORVANE PT2X", "Gauge"} << "save"
        << QByteArray("013CORVANE PT2X\r\nGauge\r\nSerial Number = ../47 11\r\nSensor Address = "
                      "3\r\nRange = RangeText\r\nMaximium Over Range = MaxOverRangeText\r\n"
                      "Pressure Units = PressUnitsCombo\r\nTemperature Units = TempUnitsCombo\r\n"
                      "Density Correction = DensityCorrCombo\r\nLocal Gravity = LocalGravityText"
                      "\r\nLocal Level = LevelText\r\nReverse = ReverseCombo\r\nMax. Sample Rate ="
                      " SampleRateText\r\nLogging Period = 1 Second\r\n")
        << "";
    QTest::newRow("rotary encoder, nothing identified")
        << true << QStringList{} << "save"
        << QByteArray("Serial Number = ../47 11\r\nSensor Address = 3\r\nMaximum Range = "
                      "RotaryMaxRangeText\r\nCounts Per Revolution = RotaryCountsPerRevText\r\n"
                      "Measurement Resolution = RotaryMeasurementResText\r\nMeasurement Units = "
                      "RotaryMeasurementUnitsCombo\r\nPulley Circumference (mm) = "
                      "RotaryPulleyCircumText\r\nRotation Direction = RotaryDirectionCombo\r\n"
                      "Logging Period = 1 Second\r\n")
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
