#include "LogModel.h"

#include "core/platform/Services.h"
#include "core/protocol/Numbers.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace logging {

namespace {

constexpr qint64 kSecondsPerDay = 86400;
constexpr unsigned char kLongText = 0xFF; // a length byte that announces a 4-byte length

const std::array<QString, 6> kLevelHeaders{QStringLiteral("Date"),        QStringLiteral("Time"),
                                           QStringLiteral("Pressure"),    QStringLiteral("Units"),
                                           QStringLiteral("Temperature"), QStringLiteral("Units")};
const std::array<QString, 4> kRotaryHeaders{QStringLiteral("Date"), QStringLiteral("Time"),
                                            QStringLiteral("Level"), QStringLiteral("Units")};

} // namespace

LogModel::LogModel(Layout layout, QObject* parent) : QAbstractTableModel(parent), layout_(layout) {
    internUnits(QStringView());
}

int LogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int LogModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return layout_ == Layout::Rotary ? 4 : 6;
}

QVariant LogModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return text(index.row(), index.column());
}

QVariant LogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount())
        return {};
    const auto s = static_cast<size_t>(section);
    return layout_ == Layout::Rotary ? kRotaryHeaders[s] : kLevelHeaders[s];
}

void LogModel::addRow(const QDateTime& when, QStringView value1, QStringView units1,
                      QStringView value2, QStringView units2) {
    const bool rotary = layout_ == Layout::Rotary;
    Row row{};
    row.seconds =
        when.date().toJulianDay() * kSecondsPerDay + when.time().msecsSinceStartOfDay() / 1000;
    row.texts = static_cast<quint32>(bytes_.size());
    row.units1 = internUnits(units1);
    row.units2 = rotary ? 0 : internUnits(units2);

    // The reading becomes row 0. Below an existing row it is announced as the top row
    // changed and the previous top row inserted under it: what is shown is the same, and a
    // selection of the newest row stays on the newest row without being set again.
    const bool first = rows_.empty();
    beginInsertRows(QModelIndex(), first ? 0 : 1, first ? 0 : 1);
    appendText(value1);
    appendText(rotary ? QStringView() : value2);
    rows_.push_back(row);
    endInsertRows();
    if (!first)
        Q_EMIT dataChanged(index(0, 0), index(0, columnCount() - 1), {Qt::DisplayRole});
    Q_EMIT readingsInserted(rowCount() - 1, 1);
}

QString LogModel::text(int row, int column) const {
    const Row& r = rowAt(row);
    switch (column) {
    case 0:
        return platform::shortDateText(date(row));
    case 1:
        return platform::logTimeText(time(row));
    case 2:
        return valueText(r.texts, 0);
    case 3:
        return units_.at(r.units1);
    case 4:
        return layout_ == Layout::Rotary ? QString() : valueText(r.texts, 1);
    case 5:
        return layout_ == Layout::Rotary ? QString() : units_.at(r.units2);
    default:
        return {};
    }
}

QDate LogModel::date(int row) const {
    return QDate::fromJulianDay(rowAt(row).seconds / kSecondsPerDay);
}

QTime LogModel::time(int row) const {
    return QTime::fromMSecsSinceStartOfDay(
        static_cast<int>(rowAt(row).seconds % kSecondsPerDay * 1000));
}

void LogModel::clear() {
    beginResetModel();
    dropRows();
    endResetModel();
}

void LogModel::setLayout(Layout layout) {
    if (layout == layout_)
        return;
    beginResetModel();
    dropRows();
    layout_ = layout;
    endResetModel();
}

void LogModel::dropRows() {
    // Give the memory back: a week's log is megabytes.
    std::vector<Row>().swap(rows_);
    std::vector<char>().swap(bytes_);
    units_.clear();
    internUnits(QStringView());
}

void LogModel::appendRowsOf(const LogModel& other) {
    if (&other == this || other.rows_.empty())
        return;
    const int first = rowCount();
    const int added = other.rowCount();
    // Rows are kept oldest first, so the other log's rows go in front of this log's.
    std::vector<quint16> unitMap(static_cast<size_t>(other.units_.size()));
    for (qsizetype u = 0; u < other.units_.size(); ++u)
        unitMap[static_cast<size_t>(u)] = internUnits(other.units_.at(u));

    beginInsertRows(QModelIndex(), first, first + added - 1);
    const auto shift = static_cast<quint32>(other.bytes_.size());
    std::vector<Row> rows;
    rows.reserve(other.rows_.size() + rows_.size());
    for (Row r : other.rows_) {
        r.units1 = unitMap[r.units1];
        r.units2 = unitMap[r.units2];
        rows.push_back(r);
    }
    for (Row r : rows_) {
        r.texts += shift;
        rows.push_back(r);
    }
    bytes_.insert(bytes_.begin(), other.bytes_.begin(), other.bytes_.end());
    rows_.swap(rows);
    endInsertRows();
    Q_EMIT readingsInserted(0, added);
}

double LogModel::readingValue(int reading, int which) const {
    const std::string_view text = valueBytes(rows_[static_cast<size_t>(reading)].texts, which);
    return protocol::parseNumber(text, {.plus = false})
        .value_or(std::numeric_limits<double>::quiet_NaN());
}

const LogModel::Row& LogModel::rowAt(int row) const {
    return rows_.at(rows_.size() - 1 - static_cast<size_t>(row));
}

quint16 LogModel::internUnits(QStringView units) {
    // A handful of unit texts, from the pages' unit lists: a scan beats a hash here.
    for (qsizetype i = 0; i < units_.size(); ++i)
        if (units_.at(i) == units)
            return static_cast<quint16>(i);
    // Should there ever be more distinct texts than an index holds, the extra ones are
    // shown empty.
    if (units_.size() > std::numeric_limits<quint16>::max())
        return 0;
    units_.append(units.toString());
    return static_cast<quint16>(units_.size() - 1);
}

void LogModel::appendText(QStringView text) {
    // Replies are ASCII; anything else is kept as UTF-8.
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    QByteArray utf8;
    if (!ascii)
        utf8 = text.toUtf8();
    const size_t length =
        ascii ? static_cast<size_t>(text.size()) : static_cast<size_t>(utf8.size());

    if (length < kLongText) {
        bytes_.push_back(static_cast<char>(length));
    } else {
        bytes_.push_back(static_cast<char>(kLongText));
        const auto n = static_cast<quint32>(length);
        const auto* p = reinterpret_cast<const char*>(&n);
        bytes_.insert(bytes_.end(), p, p + sizeof n);
    }
    if (ascii) {
        for (QChar c : text)
            bytes_.push_back(static_cast<char>(c.unicode()));
    } else {
        bytes_.insert(bytes_.end(), utf8.constBegin(), utf8.constEnd());
    }
}

QString LogModel::valueText(quint32 offset, int which) const {
    const std::string_view text = valueBytes(offset, which);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string_view LogModel::valueBytes(quint32 offset, int which) const {
    size_t at = offset;
    for (int i = 0;; ++i) {
        size_t length = static_cast<unsigned char>(bytes_[at++]);
        if (length == kLongText) {
            quint32 n = 0;
            std::memcpy(&n, &bytes_[at], sizeof n);
            at += sizeof n;
            length = n;
        }
        if (i == which)
            return {bytes_.data() + at, length};
        at += length;
    }
}

} // namespace logging
