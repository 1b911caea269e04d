#pragma once

#include "SheetWriter.h"

namespace logexport {

// Comma-separated text in UTF-8 with CR LF line ends: the header row, an empty row, then a
// row per reading. Dates are yyyy-mm-dd, times hh:mm:ss, numbers use "."; a field holding a
// comma, a quote or a line end is quoted, its quotes doubled.
class CsvWriter final : public SheetWriter {
public:
    WriteResult write(const LogSheet& sheet, const QString& path,
                      const Progress& progress) override;
};

} // namespace logexport
