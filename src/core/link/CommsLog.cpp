#include "CommsLog.h"

namespace sdilink {

void CommsLog::addSent(const QString& line) {
    append(line);
}

void CommsLog::addReceived(const QString& line) {
    if (lines_.size() > kReceivedLimit - 1)
        clear();
    append(line);
}

void CommsLog::clear() {
    if (lines_.isEmpty())
        return;
    beginResetModel();
    lines_.clear();
    endResetModel();
}

void CommsLog::append(const QString& line) {
    const int row = static_cast<int>(lines_.size());
    beginInsertRows({}, row, row);
    lines_.append(line);
    endInsertRows();
}

int CommsLog::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant CommsLog::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= lines_.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return lines_.at(index.row());
    return {};
}

} // namespace sdilink
