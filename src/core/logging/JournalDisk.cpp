#include "JournalDisk.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace logging {

namespace {

int fdatasyncOf(int fd) {
    return ::fdatasync(fd) == 0 ? 0 : errno;
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

JournalDisk::JournalDisk(platform::Timers& timers, Sync sync, QObject* parent)
    : QObject(parent), timers_(timers), sync_(sync ? std::move(sync) : Sync(fdatasyncOf)) {}

JournalDisk::~JournalDisk() {
    for (auto& [journal, f] : files_) {
        sync(f);
        f.file->close();
    }
}

void JournalDisk::open(quint64 journal, const QString& folder, const QString& name,
                       const QByteArray& header) {
    QMetaObject::invokeMethod(
        this, [=, this] { doOpen(journal, folder, name, header); }, Qt::QueuedConnection);
}

void JournalDisk::append(quint64 journal, const QByteArray& lines) {
    QMetaObject::invokeMethod(
        this, [=, this] { doAppend(journal, lines); }, Qt::QueuedConnection);
}

void JournalDisk::close(quint64 journal, const QByteArray& lastLines) {
    QMetaObject::invokeMethod(
        this, [=, this] { doClose(journal, lastLines); }, Qt::QueuedConnection);
}

void JournalDisk::doOpen(quint64 journal, const QString& folder, const QString& name,
                         const QByteArray& header) {
    File& f = files_[journal];
    f.folder = folder;
    QDir().mkpath(folder);
    for (int n = 1; n < 1000 && !f.file; ++n) {
        const QString path = QDir(folder).filePath(
            n == 1 ? name + QStringLiteral(".csv") : QStringLiteral("%1-%2.csv").arg(name).arg(n));
        auto file = std::make_unique<QFile>(path);
        if (file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            // Held until closed, or until the process ends in whatever way.
            ::flock(file->handle(), LOCK_EX | LOCK_NB);
            f.file = std::move(file);
        } else if (!file->exists()) {
            fail(journal, file->errorString());
            return;
        }
    }
    if (!f.file) {
        fail(journal, QStringLiteral("no free file name"));
        return;
    }
    f.newEntry = true;
    Q_EMIT opened(journal, f.file->fileName());
    if (write(f, header))
        markDirty(f);
    else
        fail(journal, f.file->errorString());
}

void JournalDisk::doAppend(quint64 journal, const QByteArray& lines) {
    // Lines of a journal that failed are dropped: the log goes on in memory.
    const auto it = files_.find(journal);
    if (it == files_.end())
        return;
    if (write(it->second, lines))
        markDirty(it->second);
    else
        fail(journal, it->second.file->errorString());
}

void JournalDisk::doClose(quint64 journal, const QByteArray& lastLines) {
    const auto it = files_.find(journal);
    if (it == files_.end())
        return;
    File& f = it->second;
    if (!lastLines.isEmpty() && !write(f, lastLines)) {
        fail(journal, f.file->errorString());
        return;
    }
    f.dirty = f.dirty || !lastLines.isEmpty();
    if (const QString reason = sync(f); !reason.isEmpty()) {
        fail(journal, reason);
        return;
    }
    f.file->close();
    files_.erase(it);
}

bool JournalDisk::write(File& f, const QByteArray& bytes) {
    // A write cut short (a full disk) says why only when asked to write the rest.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 n = f.file->write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QString JournalDisk::sync(File& f) {
    if (!f.dirty)
        return {};
    f.file->flush();
    int error = sync_(f.file->handle());
    if (error == 0 && f.newEntry) {
        // A new file survives a power cut only once its folder's entry is on the device too.
        const int dir = ::open(QFile::encodeName(f.folder).constData(), O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        f.newEntry = false;
    }
    if (error != 0)
        return systemReason(error);
    f.dirty = false;
    return {};
}

void JournalDisk::syncAll() {
    std::vector<std::pair<quint64, QString>> failures;
    for (auto& [journal, f] : files_)
        if (QString reason = sync(f); !reason.isEmpty())
            failures.emplace_back(journal, reason);
    for (const auto& [journal, reason] : failures)
        fail(journal, reason);
}

void JournalDisk::markDirty(File& f) {
    f.dirty = true;
    if (!syncTimer_) {
        syncTimer_ = timers_.makeTimer();
        syncTimer_->onTimeout = [this] { syncAll(); };
    }
    // The first line not yet synced sets the time; later ones join its sync.
    if (!syncTimer_->isActive())
        syncTimer_->start(kSyncDelayMs);
}

void JournalDisk::fail(quint64 journal, const QString& reason) {
    const auto it = files_.find(journal);
    const QString folder = it != files_.end() ? it->second.folder : QString();
    if (it != files_.end())
        files_.erase(it); // closes the file and drops its lock
    Q_EMIT failed(journal, folder, reason);
}

JournalThread::JournalThread(JournalDisk::Sync sync)
    : disk_(new JournalDisk(platform::realTimers(), std::move(sync))) {
    thread_.setObjectName(QStringLiteral("journal"));
    disk_->moveToThread(&thread_);
    thread_.start();
}

JournalThread::~JournalThread() {
    // After everything queued before it: the disk closes what is open, then the thread ends.
    QMetaObject::invokeMethod(
        disk_,
        [this] {
            delete disk_;
            thread_.quit();
        },
        Qt::QueuedConnection);
    thread_.wait();
}

void JournalThread::waitUntilWritten() {
    QMetaObject::invokeMethod(
        disk_, [] {}, Qt::BlockingQueuedConnection);
}

} // namespace logging
