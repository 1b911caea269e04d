#pragma once

#include "core/logging/JournalReader.h"
#include "core/platform/Services.h"

#include <QList>
#include <QWidget>

class QPushButton;
class QTreeWidget;

namespace platform {
class Dialogs;
}

namespace app {

// "Recovered Logs": the journals an earlier run left unfinished (a crash, a kill, a power
// cut), one row each with the sensor, the first and last reading, the number of readings and
// what was skipped, and for each readable one "Save As..." (through the exporter's dialog
// and formats) and "Discard". A journal that cannot be read is listed with the reason and
// left as it is. Modeless.
class RecoveryWindow final : public QWidget {
    Q_OBJECT
public:
    RecoveryWindow(platform::Dialogs& dialogs, platform::Clock clock,
                   QList<logging::JournalSummary> journals, QWidget* parent = nullptr);

    // Row i's buttons (null for a journal that cannot be read).
    QPushButton* saveButton(int row) const;
    QPushButton* discardButton(int row) const;

    // The buttons come before the notes, so a long note (a path) never pushes them out of
    // sight.
    enum Column { Sensor, First, Last, Readings, Actions, Notes };
    // What became of a row's log ("Saved to ...", "Discarded").
    void setNote(int row, const QString& note);

    QTreeWidget* JournalList;

private:
    void saveAs(int row);
    void discard(int row);

    platform::Dialogs& dialogs_;
    platform::Clock clock_;
    QList<logging::JournalSummary> journals_;
};

} // namespace app
