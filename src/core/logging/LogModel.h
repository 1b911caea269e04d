#pragma once

#include <QAbstractTableModel>
#include <QDateTime>
#include <QStringList>
#include <string_view>
#include <vector>

namespace logging {

// A page's log list: one row per reading, newest first, never trimmed.
//
// A row is kept in 16 bytes plus its value texts: the local date and time as seconds, the
// offset of the two value texts in one shared byte store, and the two unit texts as indexes
// into a table of the distinct unit texts seen. The date and time are formatted when shown.
class LogModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class Layout { LevelProbe, Rotary };

    explicit LogModel(Layout layout, QObject* parent = nullptr);

    Layout layout() const { return layout_; }
    // Gives the log the columns of another layout. Its rows go: their values were taken for
    // the columns they had.
    void setLayout(Layout layout);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Adds a reading on top. A rotary log keeps only the first value and its units.
    void addRow(const QDateTime& when, QStringView value1, QStringView units1,
                QStringView value2 = {}, QStringView units2 = {});

    // The text shown in a cell: the date in the system's short format, the time as
    // "hh:mm:ss", then the value and units texts as they were added.
    QString text(int row, int column) const;
    QDate date(int row) const;
    QTime time(int row) const;

    // Removes every row.
    void clear();
    // Appends the other log's rows below this log's, in their order.
    void appendRowsOf(const LogModel& other);

    // Readings by age, for views that read the whole log: reading 0 is the oldest and
    // reading rowCount() - 1 the newest (shown as row 0). The value is the number the value
    // text (0 first, 1 second) stands for, NaN when the text is not a plain number.
    qint64 readingSeconds(int reading) const { return rows_[static_cast<size_t>(reading)].seconds; }
    double readingValue(int reading, int which) const;

Q_SIGNALS:
    // Readings [first, first + count) by age were inserted: the newest one by addRow, the
    // oldest ones by appendRowsOf. Sent after the rows' own insertion signals.
    void readingsInserted(int first, int count);

private:
    struct Row {
        qint64 seconds; // local date and time: Julian day * 86400 + second of the day
        quint32 texts;  // offset of the two length-prefixed value texts in bytes_
        quint16 units1;
        quint16 units2;
    };
    static_assert(sizeof(Row) == 16);

    const Row& rowAt(int row) const;
    void dropRows();
    quint16 internUnits(QStringView units);
    void appendText(QStringView text);
    std::string_view valueBytes(quint32 offset, int which) const;
    QString valueText(quint32 offset, int which) const;

    Layout layout_;
    std::vector<Row> rows_; // oldest first; shown in reverse order
    std::vector<char> bytes_;
    QStringList units_; // the distinct unit texts, "" first
};

} // namespace logging
