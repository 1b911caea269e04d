#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace logexport {

// A file written through a large buffer, which remembers the first error.
class FileOutput {
public:
    explicit FileOutput(const QString& path);

    bool ok() const { return error_.isEmpty(); }
    const QString& error() const { return error_; }

    QByteArray& buffer() { return buffer_; }
    // Writes the buffer out once it has grown past its threshold.
    void maybeFlush() {
        if (buffer_.size() >= kThreshold)
            flush();
    }
    // Writes what is buffered and closes the file; false with error() on failure.
    bool finish();

private:
    static constexpr qsizetype kThreshold = 256 * 1024;
    void flush();
    void fail(const QString& why);

    QFile file_;
    QByteArray buffer_;
    QString error_;
};

} // namespace logexport
