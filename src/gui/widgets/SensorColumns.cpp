#include "SensorColumns.h"

#include <QTreeWidget>

namespace widgets {

QStringList levelColumnTitles() {
    return {QStringLiteral("Address"),
            QStringLiteral("Serial No."),
            QStringLiteral("Density Correction"),
            QStringLiteral("Local Gravity"),
            QStringLiteral("Pressure"),
            QStringLiteral("Units"),
            QStringLiteral("Temperature"),
            QStringLiteral("Units"),
            QStringLiteral("Log Status")};
}

QStringList rotaryColumnTitles() {
    return {QStringLiteral("Address"),       QStringLiteral("Serial No."),
            QStringLiteral("Level"),         QStringLiteral("Units"),
            QStringLiteral("Pulley Circum"), QStringLiteral("Direction"),
            QStringLiteral("Log Status")};
}

QString cellText(const QTreeWidget* list, int row, int column) {
    const QTreeWidgetItem* item = list->topLevelItem(row);
    return item != nullptr ? item->text(column) : QString();
}

} // namespace widgets
