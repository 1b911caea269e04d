#include "FileOutput.h"

namespace logexport {

FileOutput::FileOutput(const QString& path) : file_(path) {
    buffer_.reserve(kThreshold + 4096);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail(file_.errorString());
}

void FileOutput::fail(const QString& why) {
    if (error_.isEmpty())
        error_ = why.isEmpty() ? QStringLiteral("The file could not be written.") : why;
}

void FileOutput::flush() {
    if (ok() && !buffer_.isEmpty() && file_.write(buffer_) != buffer_.size())
        fail(file_.errorString());
    buffer_.clear();
}

bool FileOutput::finish() {
    flush();
    if (ok() && !file_.flush())
        fail(file_.errorString());
    file_.close();
    if (ok() && file_.error() != QFileDevice::NoError)
        fail(file_.errorString());
    return ok();
}

} // namespace logexport
