#pragma once

#include "SheetWriter.h"

namespace logexport {

// Writes the sheet under a temporary name in the target's folder and renames it over the
// target only once it is complete and on disk: a write that fails or is cancelled leaves an
// existing file as it was and no temporary file behind. A replaced file's permissions carry
// over to the new one.
WriteResult saveReplacing(SheetWriter& writer, const LogSheet& sheet, const QString& path,
                          const Progress& progress);

} // namespace logexport
