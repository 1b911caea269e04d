#pragma once

#include "SheetWriter.h"

namespace logexport {

// An Office Open XML workbook (.xlsx) through libxlsxwriter: one sheet, the header row, an
// empty row, then a row per reading; dates and times as date and time cells, values as
// numbers, the used columns widened to fit and centred. Logs longer than
// kConstantMemoryRows readings are streamed row by row (the library's constant-memory mode).
class XlsxWriter final : public SheetWriter {
public:
    static constexpr int kConstantMemoryRows = 10'000;
    // A sheet holds 1,048,576 rows; two are the header and the empty row.
    static constexpr int kMaxReadings = 1'048'574;

    WriteResult write(const LogSheet& sheet, const QString& path,
                      const Progress& progress) override;
};

} // namespace logexport
