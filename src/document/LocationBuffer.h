// A Location File read whole into memory, for work on a file other than the one the document
// has open: the copy wizard and `arvestra-cli copy` read a source file this way and write a
// destination file back. Reading never changes the file; saving replaces it atomically.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "document/LocationImage.h"

namespace arvestra {

class CLocationBuffer {
  public:
    // Reads and checks a file. An older-version file is converted in memory when
    // `convertOldVersion`, refused otherwise (saving it would change its version behind the
    // user's back). Null with a message in `error` when the file cannot be used.
    static std::unique_ptr<CLocationBuffer> Load(const std::string& path, bool convertOldVersion,
                                                 std::string& error);

    CLocationImage& Location() { return location_; }
    const CLocationImage& Location() const { return location_; }

    // Writes the used length of the location over `path` atomically; 0 on success, else errno
    // with a message in `error`.
    int Save(const std::string& path, std::string& error) const;

  private:
    CLocationBuffer();

    std::vector<uint8_t> bytes_;
    CLocationImage location_;
};

}  // namespace arvestra
