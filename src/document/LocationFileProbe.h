// Looks at a Location File on disk without touching the open document: the same checks an open
// makes, so a caller can turn a wrong file away before the document lets go of its location.
#pragma once

#include <string>

#include "document/LocationFileFormat.h"

namespace arvestra {

// Reads the file at `path` (its first 528,638 bytes; a shorter file is taken as zero-extended,
// as an open does) and checks it. A file that cannot be read is refused with number 291 and
// errno, the number of the step that copies a file in.
HeaderCheck ProbeLocationFile(const std::string& path);

}  // namespace arvestra
