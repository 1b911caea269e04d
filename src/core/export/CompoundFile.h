#pragma once

#include <QByteArray>

namespace logexport {

class FileOutput;

// Writes a compound document (version 3, 512-byte sectors) holding one stream, named
// "Workbook", as the .xls format wants it. A stream under 4096 bytes is padded with zeros
// to that size, so it always lives in regular sectors and no mini stream is needed.
void writeCompoundFile(FileOutput& out, const QByteArray& workbook);

} // namespace logexport
