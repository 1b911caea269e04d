#include "SafeSave.h"

#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace logexport {

namespace {

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

QFileDevice::Permissions newFilePermissions() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = 0666 & ~mask;
    QFileDevice::Permissions p;
    if (mode & S_IRUSR)
        p |= QFileDevice::ReadOwner | QFileDevice::ReadUser;
    if (mode & S_IWUSR)
        p |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    if (mode & S_IRGRP)
        p |= QFileDevice::ReadGroup;
    if (mode & S_IWGRP)
        p |= QFileDevice::WriteGroup;
    if (mode & S_IROTH)
        p |= QFileDevice::ReadOther;
    if (mode & S_IWOTH)
        p |= QFileDevice::WriteOther;
    return p;
}

bool syncToDisk(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return ::fsync(file.handle()) == 0;
}

} // namespace

WriteResult saveReplacing(SheetWriter& writer, const LogSheet& sheet, const QString& path,
                          const Progress& progress) {
    const QFileInfo target(path);
    QTemporaryFile temporary(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                             QStringLiteral(".XXXXXX"));
    if (!temporary.open())
        return WriteResult::failed(QStringLiteral("The folder %1 cannot be written to: %2")
                                       .arg(target.absolutePath(), temporary.errorString()));
    temporary.close();
    const QString written = temporary.fileName();

    const WriteResult result = writer.write(sheet, written, progress);
    if (result.status != WriteResult::Status::Written)
        return result;
    if (!syncToDisk(written))
        return WriteResult::failed(systemError());
    QFile::setPermissions(written, target.exists() ? target.permissions() : newFilePermissions());
    if (std::rename(QFile::encodeName(written).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        return WriteResult::failed(systemError());
    temporary.setAutoRemove(false);
    return result;
}

} // namespace logexport
