#pragma once

#include "core/logging/JournalFormat.h"

#include <QDateTime>
#include <QString>

namespace logging {

class LogModel;

// What a journal holds, as read back.
struct JournalSummary {
    QString path;
    // Why the file cannot be read as a journal; empty when it can.
    QString error;
    journal::Header header; // as it was started
    int address = 0;        // the sensor's address at the end (after "#moved" lines)
    bool finished = false;
    qint64 readings = 0;
    qint64 missed = 0;
    // The last line cut short (no end of line) or bytes a power cut left behind.
    int incompleteLines = 0;
    // Whole lines that are no reading and no known "#" line.
    int unreadableLines = 0;
    QDateTime first;
    QDateTime last;
};

// Reads a journal. With `into` (an empty log of the journal's family), every reading also
// becomes a row of it, oldest first.
JournalSummary readJournal(const QString& path, LogModel* into = nullptr);

// Whether the journal's last line says it finished, from its last bytes only.
bool journalFinished(const QString& path);

} // namespace logging
