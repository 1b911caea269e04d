#pragma once

#include <QString>
#include <QtGlobal>

namespace platform {

// The settings file "Corvane sysfile.cfg": one record of five little-endian signed 16-bit
// integers at offset 0 (port, break, mark, data time-out, command time-out; 0 stands for
// the default). Bytes after the record are never read or written.
class SysData {
public:
    static constexpr qint64 kRecordSize = 10;

    struct Record {
        qint16 port = 0;
        qint16 breakTime = 0;
        qint16 markTime = 0;
        qint16 dataTimeout = 0;
        qint16 commandTimeout = 0;
    };

    // The file at path; an empty path means defaultPath(). A read-only SysData reads the
    // file but write() leaves it alone (and reports success).
    explicit SysData(const QString& path = {}, bool readOnly = false);

    static QString fileName();
    // The program's folder when the file can be written there and the program is not the
    // installed one, else the per-user config folder. An installed program (one run from the
    // folder it was installed to) never writes into the system's program folder, even when
    // run by an administrator. The file is read from the same place it would be written to.
    static QString defaultPath();
    static QString pathIn(const QString& programFolder, const QString& userFolder,
                          const QString& installedFolder = {});

    const QString& path() const { return path_; }

    // The record; a missing file or missing bytes read as 0.
    Record read() const;
    // Writes the record over the first 10 bytes (the file is created when missing, never
    // truncated). On failure returns false and, when asked, the system's reason.
    bool write(const Record& record, QString* reason = nullptr) const;

private:
    QString path_;
    bool readOnly_ = false;
};

} // namespace platform
