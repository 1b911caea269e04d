// The answers of both families read into a sensor's record, without a page or a bus.
#include "core/levelprobe/LevelRecord.h"
#include "core/protocol/ReplyLine.h"
#include "core/rotary/RotaryRecord.h"

#include <QTest>

using levelprobe::LevelField;
using levelprobe::LevelRecord;
using rotary::RotaryField;
using rotary::RotaryRecord;
using sdilink::Code;

Q_DECLARE_METATYPE(sdilink::Code)

namespace {

// What a record shows of every field, in one line, so that a value written into the wrong
// field shows up wherever it lands.
QString shown(const LevelRecord& r) {
    return QStringList{r.identification.join('/'),
                       r.serialNumber,
                       r.pressureUnitText(),
                       r.temperatureUnitText(),
                       r.densityCorrectionText(),
                       r.localGravity,
                       r.range,
                       r.maxOverRange,
                       r.reverseText(),
                       r.localLevel,
                       r.localOffset ? QString::number(*r.localOffset) : "-",
                       r.unlock ? QString::number(*r.unlock) : "-",
                       r.sampleRateText(),
                       r.specificGravity,
                       r.zeroCalibration,
                       r.slopeCalibration,
                       r.pressure,
                       r.temperature}
        .join('|');
}

QString shown(const RotaryRecord& r) {
    return QStringList{
        r.identification.join('/'), r.serialNumber, r.unitsText(),  r.pulleyCircumference,
        r.directionText(),          r.countsPerRev, r.currentValue, r.measurementRes}
        .join('|');
}

// The line of an empty record with some slots filled in.
QString level(std::initializer_list<std::pair<int, const char*>> filled) {
    QStringList line(18);
    line[10] = line[11] = "-";
    for (const auto& [slot, text] : filled)
        line[slot] = text;
    return line.join('|');
}

QString encoder(std::initializer_list<std::pair<int, const char*>> filled) {
    QStringList line(8);
    for (const auto& [slot, text] : filled)
        line[slot] = text;
    return line.join('|');
}

} // namespace

class RecordsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void levelAnswers_data();
    void levelAnswers();
    void rotaryAnswers_data();
    void rotaryAnswers();
    void awaitedFieldsKeepTheirValue();
};

void RecordsTest::levelAnswers_data() {
    QTest::addColumn<Code>("code");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("field"); // -1: nothing kept
    QTest::addColumn<QString>("record");
    const auto row = [](const char* name, Code code, const char* reply, int field,
                        const QString& record) {
        QTest::newRow(name) << code << QString(reply) << field << record;
    };
    using F = LevelField;
    const auto f = [](F field) { return static_cast<int>(field); };
    row("id", Code::Identification, "3I!313MAKER   PT2X  1.0", f(F::Identification),
        level({{0, "SDI Version = 1.3/Company Name = MAKER   /Sensor Model = PT2X  /Sensor Version "
                   "= 1.0"}}));
    row("serial", Code::SerialNumberQuery, "3XSN!34711", f(F::SerialNumber), level({{1, "4711"}}));
    row("units", Code::PressUnitsSet, "3XUP13!313", f(F::PressureUnits), level({{2, "mbar"}}));
    row("temperature", Code::TempUnitsQuery, "3XUT!31", f(F::TemperatureUnits),
        level({{3, "Fahrenheit"}}));
    row("density", Code::DensityCorrSet, "3XP0!30", f(F::DensityCorrection),
        level({{4, "Compensated"}}));
    row("gravity", Code::LocalGravityQuery, "3XE!3+9.81", f(F::LocalGravity), level({{5, "9.81"}}));
    row("range", Code::RangeQuery, "3XRA!3+10.0004", f(F::Range), level({{6, "10.0004"}}));
    row("over-range", Code::MaxOverRangeSet, "3XMOR12!3+12", f(F::MaxOverRange),
        level({{7, "12"}}));
    row("reverse", Code::ReverseQuery, "3XREV!31", f(F::Reverse), level({{8, "On"}}));
    row("level", Code::LevelSet, "3XLOF0.5!3+0.5", f(F::LocalLevel), level({{9, "0.5"}}));
    row("offset", Code::LocalOffsetQuery, "3XLOC!31", f(F::LocalOffset), level({{10, "1"}}));
    row("offset no flag", Code::LocalOffsetQuery, "3XLOC!32", -1, level({}));
    row("unlock", Code::UnlockSet, "3XUNLK1!31", f(F::Unlock), level({{11, "1"}}));
    row("filter", Code::FilterQuery, "3XF!30,10,0001", f(F::SampleRate),
        level({{12, "2 Seconds"}}));
    row("sg", Code::SpecificGravityQuery, "3XU0!3+1.0", f(F::SpecificGravity), level({{13, "1"}}));
    row("zero", Code::ZeroCorrectionQuery, "3XANCLV0!3-0.012", f(F::ZeroCalibration),
        level({{14, "-0.012"}}));
    row("slope", Code::SlopeQuery, "3XANCLV1!3+1.0204", f(F::SlopeCalibration),
        level({{15, "1.0204"}}));
    row("data", Code::Data, "3D0!3+1.5+20.1", f(F::Reading), level({{16, "1.5"}, {17, "20.1"}}));
    row("data, none", Code::Data, "3D0!3", -1, level({}));
    row("measurement", Code::Measure, "3M!30012", -1, level({}));
}

void RecordsTest::levelAnswers() {
    QFETCH(Code, code);
    QFETCH(QString, reply);
    QFETCH(int, field);
    QFETCH(QString, record);
    LevelRecord r;
    const auto taken = r.take(code, levelprobe::readLevelAnswer(code, protocol::ReplyLine(reply)));
    QCOMPARE(taken ? static_cast<int>(*taken) : -1, field);
    QCOMPARE(shown(r), record);
}

void RecordsTest::rotaryAnswers_data() {
    QTest::addColumn<Code>("code");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("record");
    const auto row = [](const char* name, Code code, const char* reply, int field,
                        const QString& record) {
        QTest::newRow(name) << code << QString(reply) << field << record;
    };
    using F = RotaryField;
    const auto f = [](F field) { return static_cast<int>(field); };
    row("serial", Code::RotarySerialNumberQuery, "2XSN!20815", f(F::SerialNumber),
        encoder({{1, "0815"}}));
    row("units", Code::RotaryUnitsQuery, "2XMU!2XMU3", f(F::Units), encoder({{2, "Feet"}}));
    row("circumference", Code::RotaryCircumferenceQuery, "2XCP!2200", f(F::PulleyCircumference),
        encoder({{3, "200"}}));
    row("direction", Code::RotaryDirectionSet, "2XRD1!21", f(F::Direction),
        encoder({{4, "Clockwise"}}));
    row("counts", Code::RotaryCountsQuery, "2XPC!21000", f(F::CountsPerRev),
        encoder({{5, "1000"}}));
    row("zero", Code::RotarySetZero, "2XZE!2", f(F::CurrentValue), encoder({{6, "0.000"}}));
    row("reading", Code::RotaryData, "2D0!2+1.25", f(F::Reading), encoder({{6, "1.25"}}));
    row("blank reading", Code::RotaryData, "2D0!2", -1, encoder({}));
}

void RecordsTest::rotaryAnswers() {
    QFETCH(Code, code);
    QFETCH(QString, reply);
    QFETCH(int, field);
    QFETCH(QString, record);
    RotaryRecord r;
    const auto taken = r.take(code, rotary::readRotaryAnswer(code, protocol::ReplyLine(reply)));
    QCOMPARE(taken ? static_cast<int>(*taken) : -1, field);
    QCOMPARE(shown(r), record);
}

void RecordsTest::awaitedFieldsKeepTheirValue() {
    // A sensor that answered everything, then a field's request goes again: the field awaits
    // its answer and nothing else does, and the value answered before stays for the log and
    // the reports until the answer comes.
    LevelRecord full;
    full.take(Code::RangeQuery,
              levelprobe::readLevelAnswer(Code::RangeQuery, protocol::ReplyLine("3XRA!3+10")));
    full.take(Code::Data,
              levelprobe::readLevelAnswer(Code::Data, protocol::ReplyLine("3D0!3+1.5+20.1")));
    LevelRecord r = full;
    r.awaitAnswer(LevelField::Range);
    QVERIFY(r.awaitsAnswer(LevelField::Range) && !r.awaitsAnswer(LevelField::Reading));
    QCOMPARE(shown(r), shown(full));
    r.take(Code::RangeSet,
           levelprobe::readLevelAnswer(Code::RangeSet, protocol::ReplyLine("3XRA12!3+12")));
    QVERIFY(!r.awaitsAnswer(LevelField::Range));
    QCOMPARE(r.range, QStringLiteral("12"));

    // An encoder's value set or queried and its reading are one value: either answer ends
    // the wait.
    RotaryRecord v;
    v.awaitAnswer(rotary::RotaryField::CurrentValue);
    v.take(Code::RotaryData,
           rotary::readRotaryAnswer(Code::RotaryData, protocol::ReplyLine("2D0!2+1.250")));
    QVERIFY(!v.awaitsAnswer(rotary::RotaryField::CurrentValue));

    // The resolution follows a unit set once the circumference and counts are known.
    RotaryRecord e;
    e.pulleyCircumference = "200";
    e.countsPerRev = "500";
    e.take(Code::RotaryUnitsSet,
           rotary::readRotaryAnswer(Code::RotaryUnitsSet, protocol::ReplyLine("2XMU1!21")));
    QCOMPARE(e.measurementRes, rotary::measurementResolution(1, "200", "500"));
    QVERIFY(!e.measurementRes.isEmpty());
}

QTEST_GUILESS_MAIN(RecordsTest)
#include "tst_records.moc"
