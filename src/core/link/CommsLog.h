#pragma once

#include <QAbstractListModel>
#include <QStringList>

namespace sdilink {

// The comms log: one line per request sent and per reply line received. Shown by the main
// window's CommsList.
class CommsLog final : public QAbstractListModel {
    Q_OBJECT
public:
    // A received line arriving while the log holds this many lines empties it first.
    static constexpr int kReceivedLimit = 150;

    using QAbstractListModel::QAbstractListModel;

    void addSent(const QString& line);
    void addReceived(const QString& line);
    void clear();

    int count() const { return static_cast<int>(lines_.size()); }
    const QStringList& lines() const { return lines_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    void append(const QString& line);

    QStringList lines_;
};

} // namespace sdilink
