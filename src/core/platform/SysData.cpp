#include "core/platform/SysData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtEndian>
#include <array>

namespace platform {

SysData::SysData(const QString& path, bool readOnly)
    : path_(path.isEmpty() ? defaultPath() : path), readOnly_(readOnly) {}

QString SysData::fileName() {
    return QStringLiteral("Corvane sysfile.cfg");
}

QString SysData::pathIn(const QString& programFolder, const QString& userFolder,
                        const QString& installedFolder) {
    const QString inUserFolder = QDir(userFolder).filePath(fileName());
    const QString program = QFileInfo(programFolder).canonicalFilePath();
    if (!installedFolder.isEmpty() && !program.isEmpty() &&
        program == QFileInfo(installedFolder).canonicalFilePath())
        return inUserFolder;
    const QString inProgramFolder = QDir(programFolder).filePath(fileName());
    const QFileInfo file(inProgramFolder);
    const bool writable = file.exists() ? file.isWritable() : QFileInfo(programFolder).isWritable();
    return writable ? inProgramFolder : inUserFolder;
}

QString SysData::defaultPath() {
    return pathIn(QCoreApplication::applicationDirPath(),
                  QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
                  QStringLiteral(SDI12_INSTALL_BINDIR));
}

SysData::Record SysData::read() const {
    std::array<uchar, kRecordSize> bytes{};
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly))
        file.read(reinterpret_cast<char*>(bytes.data()), kRecordSize);
    auto field = [&bytes](size_t i) { return qFromLittleEndian<qint16>(bytes.data() + 2 * i); };
    return {field(0), field(1), field(2), field(3), field(4)};
}

bool SysData::write(const Record& record, QString* reason) const {
    if (readOnly_)
        return true;
    std::array<uchar, kRecordSize> bytes{};
    const std::array<qint16, 5> fields{record.port, record.breakTime, record.markTime,
                                       record.dataTimeout, record.commandTimeout};
    for (size_t i = 0; i < fields.size(); ++i)
        qToLittleEndian<qint16>(fields[i], bytes.data() + 2 * i);

    auto fail = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("The folder %1 cannot be created.").arg(folder));
    // ReadWrite creates a missing file and, unlike WriteOnly, keeps what follows the record.
    QFile file(path_);
    if (!file.open(QIODevice::ReadWrite))
        return fail(file.errorString());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), kRecordSize) != kRecordSize ||
        !file.flush())
        return fail(file.errorString());
    file.close();
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    return true;
}

} // namespace platform
