#include "ReportReader.h"

#include "ConfigReport.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <optional>

namespace report {

namespace {

constexpr qsizetype kMaxBytes = 64 * 1024;
// How much of a line a message quotes.
constexpr qsizetype kQuoteLength = 60;

struct Family {
    const QStringList& labels;
    QString name;
};

QString notAReport(const QString& why) {
    return QStringLiteral("The file is not a configuration report: ") + why;
}

// The file's text; none when it holds a NUL byte or is no valid UTF-8. A byte-order mark at
// the start is dropped; a second one would not survive writing the report again, so it
// makes the file no text.
std::optional<QString> decoded(const QByteArray& bytes) {
    if (bytes.contains('\0'))
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    if (text.startsWith(QChar::ByteOrderMark))
        return std::nullopt;
    return text;
}

bool blank(const QString& line) {
    for (const QChar c : line)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            return false;
    return true;
}

// The line's index and its text as a message quotes it: control characters shown as "?",
// a long line cut short.
QString lineRef(qsizetype index, const QString& line) {
    QString shown = line.left(kQuoteLength);
    if (shown.size() < line.size() && shown.back().isHighSurrogate())
        shown.chop(1);
    for (QChar& c : shown)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    if (shown.size() < line.size())
        shown += QStringLiteral("...");
    return QStringLiteral("Line %1 (\"%2\")").arg(QString::number(index + 1), shown);
}

QString lineStart(const QString& label) {
    return QLatin1Char('"') + label + kSeparator + QLatin1Char('"');
}

// The file's lines after the serial number, taken one after the other.
class Reader {
public:
    Reader(const QStringList& lines, qsizetype serialLine, ReadReport& report)
        : lines_(lines), next_(serialLine + 1), report_(report) {}

    // The address, the family's settings and nothing after them but empty lines; the reason
    // when the lines do not fit.
    std::optional<QString> read() {
        if (auto error = readAddress())
            return error;
        if (auto error = readFamily())
            return error;
        return readRest();
    }

private:
    bool restBlank() const {
        for (qsizetype i = next_; i < lines_.size(); ++i)
            if (!blank(lines_.at(i)))
                return false;
        return true;
    }

    std::optional<QString> readAddress() {
        const QString start = kAddressLabel + kSeparator;
        if (restBlank())
            return QStringLiteral("The configuration report ends before its %1 line.")
                .arg(lineStart(kAddressLabel));
        const QString& line = lines_.at(next_);
        if (!line.startsWith(start))
            return lineRef(next_, line) +
                   QStringLiteral(" is not the %1 line that follows the serial number.")
                       .arg(lineStart(kAddressLabel));
        const QString digit = line.mid(start.size());
        if (digit.size() != 1 || digit[0] < QLatin1Char('0') || digit[0] > QLatin1Char('9'))
            return lineRef(next_, line) + QStringLiteral(" does not give an address from 0 to 9.");
        report_.address = digit[0].unicode() - '0';
        ++next_;
        return std::nullopt;
    }

    // The first setting line tells the family.
    std::optional<QString> readFamily() {
        const QString& level = levelReportLabels().front();
        const QString& rotary = rotaryReportLabels().front();
        if (restBlank())
            return QStringLiteral("The configuration report ends after its %1 line, before its "
                                  "settings.")
                .arg(lineStart(kAddressLabel));
        const QString& line = lines_.at(next_);
        if (line.startsWith(rotary + kSeparator))
            report_.rotary = true;
        else if (!line.startsWith(level + kSeparator))
            return lineRef(next_, line) +
                   QStringLiteral(" is neither the first setting line of a level-probe "
                                  "configuration report (%1) nor that of a rotary-encoder one "
                                  "(%2).")
                       .arg(lineStart(level), lineStart(rotary));
        return std::nullopt;
    }

    std::optional<QString> readRest() {
        const Family family = report_.rotary
                                  ? Family{rotaryReportLabels(), QStringLiteral("rotary-encoder")}
                                  : Family{levelReportLabels(), QStringLiteral("level-probe")};
        const QString report = QStringLiteral("a %1 configuration report").arg(family.name);
        for (qsizetype expected = 0; expected < family.labels.size(); ++expected, ++next_) {
            const QString& label = family.labels.at(expected);
            const QString has = QStringLiteral("%1 has its %2 line").arg(report, lineStart(label));
            if (restBlank())
                return QStringLiteral("The %1 configuration report ends before its %2 line.")
                    .arg(family.name, lineStart(label));
            const QString& line = lines_.at(next_);
            if (blank(line))
                return QStringLiteral("Line %1 is empty where ").arg(next_ + 1) + has + u'.';
            const qsizetype found = labelOf(line, family.labels);
            if (found < 0)
                return lineRef(next_, line) + QStringLiteral(" is not a line of ") + report + u'.';
            if (found != expected)
                return lineRef(next_, line) + QStringLiteral(" is out of place: ") + has +
                       QStringLiteral(" there.");
            report_.settings.append(
                {label, line.mid(label.size() + kSeparator.size()), static_cast<int>(next_ + 1)});
        }
        for (; next_ < lines_.size(); ++next_)
            if (!blank(lines_.at(next_)))
                return lineRef(next_, lines_.at(next_)) +
                       QStringLiteral(" follows the last line of %1: only empty lines may "
                                      "follow its %2 line.")
                           .arg(report, lineStart(family.labels.back()));
        return std::nullopt;
    }

    // The index of the label the line starts with, followed by the separator; -1 for none.
    static qsizetype labelOf(const QString& line, const QStringList& labels) {
        for (qsizetype i = 0; i < labels.size(); ++i)
            if (line.startsWith(labels.at(i) + kSeparator))
                return i;
        return -1;
    }

    const QStringList& lines_;
    qsizetype next_;
    ReadReport& report_;
};

} // namespace

ReadReport readReport(const QByteArray& bytes) {
    const auto refused = [](const QString& why) {
        ReadReport failed;
        failed.error = why;
        return failed;
    };
    if (bytes.isEmpty())
        return refused(QStringLiteral("The file is empty."));
    if (bytes.size() > kMaxBytes)
        return refused(notAReport(QStringLiteral("it is larger than 64 KiB.")));
    const std::optional<QString> text = decoded(bytes);
    if (!text)
        return refused(notAReport(QStringLiteral("it is not text.")));

    QStringList lines = text->split(QLatin1Char('\n'));
    if (text->endsWith(QLatin1Char('\n')))
        lines.removeLast();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString& line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.contains(QLatin1Char('\r')))
            return refused(lineRef(i, line) + QStringLiteral(" holds a carriage return (CR) "
                                                             "that no line feed (LF) follows."));
    }

    const QString serialStart = kSerialNumberLabel + kSeparator;
    qsizetype serialLine = 0;
    while (serialLine < lines.size() && !lines.at(serialLine).startsWith(serialStart))
        ++serialLine;
    if (serialLine == lines.size())
        return refused(
            notAReport(QStringLiteral("it has no %1 line.").arg(lineStart(kSerialNumberLabel))));

    ReadReport report;
    report.identification = lines.mid(0, serialLine);
    report.serialNumber = lines.at(serialLine).mid(serialStart.size());
    if (const auto error = Reader(lines, serialLine, report).read())
        return refused(*error);
    report.ok = true;
    return report;
}

QString settingValue(const ReadReport& report, const QString& label) {
    for (const ReportSetting& setting : report.settings)
        if (setting.label == label)
            return setting.value;
    return {};
}

ReadReport readReportFile(const QString& path) {
    ReadReport read;
    QFile file(path);
    if (!QFileInfo(path).isFile())
        read.error = QStringLiteral("\"%1\" is not a file.").arg(path);
    else if (!file.open(QIODevice::ReadOnly))
        read.error = QStringLiteral("Unable to open \"%1\": %2").arg(path, file.errorString());
    else
        read = readReport(file.read(kMaxBytes + 1));
    return read;
}

} // namespace report
