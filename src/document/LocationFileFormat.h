// The Location File on disk: the checks a file passes before it is used, the conversion of the
// older version, and the length a saved file keeps. The file is a flat image of the location
// bytes (header, address table, device records), so these work on the location accessor.
#pragma once

#include <cstddef>

#include "document/FileFault.h"
#include "document/LocationImage.h"

namespace arvestra {

enum class HeaderVerdict {
    kCurrent,     // usable as it is
    kOldVersion,  // version 0x80000001: usable once the user has chosen about conversion
    kRefused,     // corrupt or not a Location File; the fault says why
};

struct HeaderCheck {
    HeaderVerdict verdict = HeaderVerdict::kRefused;
    FileFault fault;  // number 295 to 299 when refused
};

// Checks a location copied from a file that was sourceLength bytes long: the magic (295), the
// format word (296), the version (297), a header that is all there (298, with the length and
// 8192) and every address-table entry being -1 or a slot 0..126 (299, with the address and
// the entry).
HeaderCheck CheckLocationFile(const CLocationImage& location, std::size_t sourceLength);

// Copies the four gain bytes of the older version from each listed device record (offsets 49
// to 52) into image offsets 142, 143, 191 and 193 of its nine images and marks the location as
// the current version. The record bytes stay as they were.
void ConvertFromOldVersion(CLocationImage& location);

// True when any address 1..126 lists a device.
bool ListsAnyDevice(const CLocationImage& location);

// Bytes a saved file keeps: the header and the records up to the highest listed slot (the
// first record even when the table is empty), 8192 + (s + 1) * 4098.
std::size_t UsedLength(const CLocationImage& location);

}  // namespace arvestra
