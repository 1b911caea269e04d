#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace logexport {

class LogSheet;

// The file formats a log is saved in.
enum class Format { Xls, Xlsx, Csv };

// How a write ended; error says why it failed, for the user.
struct WriteResult {
    enum class Status { Written, Cancelled, Failed };
    Status status = Status::Written;
    QString error;

    static WriteResult written() { return {}; }
    static WriteResult cancelled() { return {Status::Cancelled, {}}; }
    static WriteResult failed(const QString& why) { return {Status::Failed, why}; }
};

// Told how many readings are written, every few thousand; false stops the write.
using Progress = std::function<bool(int readingsWritten)>;

// Writes a log's sheet to a file in one format. The file at path is created or emptied; on
// anything but Written its content is undefined (the caller writes to a temporary file).
class SheetWriter {
public:
    virtual ~SheetWriter() = default;
    virtual WriteResult write(const LogSheet& sheet, const QString& path,
                              const Progress& progress) = 0;
};

std::unique_ptr<SheetWriter> makeWriter(Format format);

// How often writers report progress, in readings.
inline constexpr int kProgressStep = 4096;

} // namespace logexport
