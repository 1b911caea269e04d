#include "SheetWriter.h"

#include "CsvWriter.h"
#include "XlsWriter.h"
#include "XlsxWriter.h"

namespace logexport {

std::unique_ptr<SheetWriter> makeWriter(Format format) {
    switch (format) {
    case Format::Xls:
        return std::make_unique<XlsWriter>();
    case Format::Xlsx:
        return std::make_unique<XlsxWriter>();
    case Format::Csv:
        break;
    }
    return std::make_unique<CsvWriter>();
}

} // namespace logexport
