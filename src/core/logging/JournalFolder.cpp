#include "JournalFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <sys/file.h>

namespace logging {

namespace {

QString stateHome() {
    // Qt 6.4 has no state location; this is the XDG rule.
    const QString xdg = qEnvironmentVariable("XDG_STATE_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.local/state");
}

// The files named as journals are, oldest first.
QFileInfoList journalFiles(const QString& folder) {
    static const QRegularExpression name(QStringLiteral(
        "^\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d_(level|rotary)\\d(-\\d+)?\\.csv$"));
    QFileInfoList journals;
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("*.csv")}, QDir::Files,
                                                           QDir::Time | QDir::Reversed);
    for (const QFileInfo& info : files)
        if (name.match(info.fileName()).hasMatch())
            journals << info;
    return journals;
}

// A file of the journals' own kind: it starts with their first line.
bool isJournal(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) &&
           file.read(journal::kFirstLine.size()) == journal::kFirstLine;
}

const QString kOffered = QStringLiteral(".offered");

QSet<QString> offeredNames(const QString& folder) {
    QSet<QString> names;
    QFile file(QDir(folder).filePath(kOffered));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text))
        while (!file.atEnd())
            names.insert(QString::fromUtf8(file.readLine()).trimmed());
    return names;
}

} // namespace

QString defaultJournalFolder() {
    return stateHome() + QStringLiteral("/sdi12-config/journal");
}

QString demoJournalFolder() {
    return stateHome() + QStringLiteral("/sdi12-config/demo-journal");
}

bool journalInUse(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // A writer holds its journal locked; the system drops the lock with the writer.
    if (::flock(file.handle(), LOCK_EX | LOCK_NB) != 0)
        return true;
    ::flock(file.handle(), LOCK_UN);
    return false;
}

QStringList tidyJournalFolder(const QString& folder, const QDateTime& now, qint64 keepBytes) {
    QStringList removed;
    const QDateTime oldest = now.addDays(-kKeepDays);
    const QSet<QString> offered = offeredNames(folder);
    qint64 total = 0;
    QFileInfoList kept;
    for (const QFileInfo& info : journalFiles(folder)) {
        if (info.size() > 0 && !isJournal(info.filePath()))
            continue;
        if (info.lastModified() < oldest &&
            (offered.contains(info.fileName()) || journalFinished(info.filePath())) &&
            !journalInUse(info.filePath()) && QFile::remove(info.filePath())) {
            removed << info.filePath();
        } else {
            total += info.size();
            kept << info;
        }
    }
    for (const QFileInfo& info : kept) {
        if (total <= keepBytes)
            break;
        if (journalFinished(info.filePath()) && !journalInUse(info.filePath()) &&
            QFile::remove(info.filePath())) {
            removed << info.filePath();
            total -= info.size();
        }
    }
    return removed;
}

bool markOffered(const QString& folder, const QList<JournalSummary>& offered) {
    QSaveFile file(QDir(folder).filePath(kOffered));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    for (const JournalSummary& s : offered)
        file.write(QFileInfo(s.path).fileName().toUtf8() + '\n');
    return file.commit();
}

QList<JournalSummary> unfinishedJournals(const QString& folder, const QDateTime& runStart) {
    QList<JournalSummary> found;
    for (const QFileInfo& info : journalFiles(folder)) {
        if (info.lastModified() >= runStart || journalFinished(info.filePath()) ||
            journalInUse(info.filePath()))
            continue;
        JournalSummary s = readJournal(info.filePath());
        if (!s.finished)
            found << s;
    }
    return found;
}

} // namespace logging
