#pragma once

#include <QFile>
#include <QList>
#include <unistd.h>

namespace bench {

// The process's resident memory in bytes (the second field of /proc/self/statm, in pages).
inline long residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * sysconf(_SC_PAGESIZE) : 0;
}

} // namespace bench
