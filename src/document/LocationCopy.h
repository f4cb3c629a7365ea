// Copying between two locations (or within one): a setting of one image, one image with its
// name, or a whole device record. The source is read once, before anything is written, so the
// source and the destination may be the same location; the source location is never written.
#pragma once

#include <string>
#include <vector>

#include "document/CopySetting.h"
#include "document/LocationImage.h"

namespace arvestra {

// What to copy; the values are the rows of the wizard's "Copy What?" choice.
enum class CopyWhat { Setting = 0, Preset = 1, Device = 2 };

// One copy: the source device, image (0 the edit buffer, 1..8 the presets) and setting, and the
// destinations. Every destination address gets every destination image and setting. A device
// copy ignores images and settings; a preset copy ignores settings.
struct CopyRequest {
    CopyWhat what = CopyWhat::Setting;
    int fromAddress = 1;
    int fromImage = 0;
    SettingId fromSetting = SettingId::Configuration;
    std::vector<int> toAddresses;
    std::vector<int> toImages;
    std::vector<SettingId> toSettings;
};

// One destination the copy reaches: a device and, unless a whole device was copied, an image.
struct CopyTarget {
    int address = 0;
    int image = 0;
    SettingId setting = SettingId::Configuration;
};

// The destinations of a request, device by device, then image, then setting.
std::vector<CopyTarget> CopyTargets(const CopyRequest& request);

// Why a request cannot run on these locations, or empty when it can. A device copy may go to an
// address the destination does not hold yet when `mayAddDevices` (a free record is taken).
std::string CheckCopy(const CLocationImage& source, const CLocationImage& destination,
                      const CopyRequest& request, bool mayAddDevices);

// The source's bytes a copy reads: the whole 4,098-byte record of the source device.
struct CopySnapshot {
    std::vector<uint8_t> record;
};
CopySnapshot TakeCopySnapshot(const CLocationImage& source, int fromAddress);

// Writes one target from the snapshot into the destination; a device copy to an address
// without a record takes the first free one. False when the destination has no room.
bool ApplyCopyTarget(const CopySnapshot& snapshot, const CopyRequest& request,
                     const CopyTarget& target, CLocationImage& destination);

// Checks, snapshots and writes every target; the error text, or empty on success.
std::string CopyBetweenLocations(const CLocationImage& source, CLocationImage& destination,
                                 const CopyRequest& request, bool mayAddDevices);

}  // namespace arvestra
