#pragma once

#include "core/logging/JournalReader.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace logging {

// The folder of the journals and what is done to it at start.
//
// Journals live in the per-user state folder, $XDG_STATE_HOME/sdi12-config/journal
// (~/.local/state/sdi12-config/journal when XDG_STATE_HOME is not set); a demonstration run
// keeps its own beside it (demo-journal).
QString defaultJournalFolder();
QString demoJournalFolder();

// Journals last written more than kKeepDays ago are removed at start once they are finished
// or were offered to the person (an unfinished one is offered at least once first), then the
// oldest finished ones until the folder's journals take at most kKeepBytes together. A
// journal another running program writes is never touched; only files of the journals' own
// kind are.
inline constexpr int kKeepDays = 30;
inline constexpr qint64 kKeepBytes = qint64(1) << 30;

// Removes what the rules above say; returns the paths removed.
QStringList tidyJournalFolder(const QString& folder, const QDateTime& now,
                              qint64 keepBytes = kKeepBytes);

// The journals an earlier run left unfinished (it crashed, was killed, lost power), oldest
// first, each read through: readable or not (JournalSummary::error). Journals last written
// at or after `runStart` (this run's) and journals another running program holds are left
// out.
QList<JournalSummary> unfinishedJournals(const QString& folder, const QDateTime& runStart);

// Remembers that these journals were offered to the person (the folder's list of offered
// journals, ".offered", is replaced by their file names); false when it cannot be written,
// and then nothing old is removed that was not finished.
bool markOffered(const QString& folder, const QList<JournalSummary>& offered);

// Another running program holds the journal open.
bool journalInUse(const QString& path);

} // namespace logging
