// The copy wizard's and `arvestra-cli copy`'s work on a document: a copy into the location the
// document has open, live to the devices while online, and a copy between any two of the
// current location and Location Files.
#pragma once

#include <string>

#include "document/LocationCopy.h"

namespace arvestra {

class CQ7310Doc;

// Copies from `source` (read only) into the document's location. Offline the bytes change and
// a device copy may add a device; online only devices present on the bus are destinations,
// and each gets the change through the document's operations: a setting of the edit buffer
// through the block operations (links, marking, flags), any other image and a whole device by
// sending what changed. The location is marked modified and the views refreshed. Empty on
// success, else what went wrong.
std::string CopyIntoDocument(CQ7310Doc& doc, const CLocationImage& source,
                             const CopyRequest& request);

// One end of a copy: the document's current location, or a Location File.
struct CopyEndpoint {
    bool currentLocation = true;
    std::string path;
};

// Runs a copy between two ends. A source file is only read; a destination file is read,
// changed in memory and saved atomically; the current location as destination goes through
// CopyIntoDocument. Empty on success, else what went wrong (nothing is written then).
std::string RunCopy(CQ7310Doc& doc, const CopyEndpoint& from, const CopyEndpoint& to,
                    const CopyRequest& request);

}  // namespace arvestra
