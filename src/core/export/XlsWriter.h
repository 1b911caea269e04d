#pragma once

#include "SheetWriter.h"

namespace logexport {

// An Excel 97-2003 workbook (.xls: BIFF8 records in a compound document) with one sheet:
// the header row, an empty row, then a row per reading; dates and times as date and time
// cells, values as numbers, texts from a shared string table, the used columns widened to
// fit and centred. Just what this sheet needs: no formulas, fonts or styles beyond the
// defaults.
class XlsWriter final : public SheetWriter {
public:
    // A sheet holds 65,536 rows; two are the header and the empty row.
    static constexpr int kMaxReadings = 65'534;

    WriteResult write(const LogSheet& sheet, const QString& path,
                      const Progress& progress) override;
};

} // namespace logexport
