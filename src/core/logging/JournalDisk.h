#pragma once

#include "core/platform/Timers.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QThread>
#include <functional>
#include <map>
#include <memory>

class QFile;

namespace logging {

// The journals' files. Each line is written to its file as soon as it is asked for, so a
// crash or a kill of the program loses nothing already handed over; the file is synced to
// the device (fdatasync) kSyncDelayMs after the first line not yet synced, so a power cut
// loses at most the lines of the last half second plus the sync's own time, and the lines
// of a burst share one sync.
//
// Meant to live in a thread of its own (JournalThread), so a slow or stuck disk never
// holds up the window: open(), append() and close() may be called from any thread and only
// queue the work, which is done in order in the disk's thread. Each open file holds an
// exclusive lock (flock) that the system drops with the process however it ends, so another
// run can tell a journal being written from one left behind.
class JournalDisk final : public QObject {
    Q_OBJECT
public:
    // Makes what was written to a file (or a folder's new entries) durable: 0, or the errno.
    using Sync = std::function<int(int fd)>;
    static constexpr int kSyncDelayMs = 500;

    // `timers` makes the sync timer, in the disk's thread; `sync` defaults to fdatasync.
    explicit JournalDisk(platform::Timers& timers, Sync sync = {}, QObject* parent = nullptr);
    // Syncs and closes every file still open.
    ~JournalDisk() override;

    // Creates a new file in `folder` (made if need be) named `name`.csv, or `name`-2.csv and
    // so on when that exists, and writes `header` to it.
    void open(quint64 journal, const QString& folder, const QString& name,
              const QByteArray& header);
    void append(quint64 journal, const QByteArray& lines);
    // Writes the last lines, syncs and closes the file.
    void close(quint64 journal, const QByteArray& lastLines);

Q_SIGNALS:
    void opened(quint64 journal, const QString& path);
    // The journal could not be written (and is closed): the folder and the system's reason.
    void failed(quint64 journal, const QString& folder, const QString& reason);

private:
    struct File {
        std::unique_ptr<QFile> file;
        QString folder;
        bool dirty = false;
        bool newEntry = false; // the folder's entry for it is not synced yet
    };

    void doOpen(quint64 journal, const QString& folder, const QString& name,
                const QByteArray& header);
    void doAppend(quint64 journal, const QByteArray& lines);
    void doClose(quint64 journal, const QByteArray& lastLines);
    bool write(File& f, const QByteArray& bytes);
    QString sync(File& f); // empty, or why it failed
    void syncAll();
    void fail(quint64 journal, const QString& reason);
    void markDirty(File& f);

    platform::Timers& timers_;
    Sync sync_;
    std::unique_ptr<platform::OneShotTimer> syncTimer_; // made in the disk's thread
    std::map<quint64, File> files_;
};

// A JournalDisk in a thread of its own, on Qt's timers and fdatasync (or `sync`, called in
// that thread).
class JournalThread final {
public:
    explicit JournalThread(JournalDisk::Sync sync = {});
    // Lets the disk finish what it was asked, then ends the thread.
    ~JournalThread();
    JournalThread(const JournalThread&) = delete;
    JournalThread& operator=(const JournalThread&) = delete;

    JournalDisk& disk() { return *disk_; }
    // Blocks until the disk has done everything asked of it so far (for tests and
    // measurements).
    void waitUntilWritten();

private:
    QThread thread_;
    JournalDisk* disk_;
};

} // namespace logging
