#include "document/LocationCopy.h"

#include <algorithm>
#include <cstring>

#include "document/EditPath.h"
#include "document/TextFormat.h"

namespace arvestra {

namespace {

bool IsImage(int image) {
    return image >= 0 && image < kImageCount;
}

int FirstFreeSlot(const CLocationImage& location) {
    std::array<bool, kMaxSlots> used{};
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
        const int slot = location.SlotOf(a);
        if (slot != kNoDevice) used[static_cast<std::size_t>(slot)] = true;
    }
    for (int s = 0; s < kMaxSlots; ++s) {
        if (!used[static_cast<std::size_t>(s)]) return s;
    }
    return kNoDevice;
}

int FreeSlotCount(const CLocationImage& location) {
    int used = 0;
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) used += location.SlotOf(a) != kNoDevice;
    return kMaxSlots - used;
}

std::string CheckDestinations(const CLocationImage& destination, const CopyRequest& request,
                              bool mayAddDevices) {
    if (request.toAddresses.empty()) return "Choose at least one destination device.";
    int missing = 0;
    for (const int address : request.toAddresses) {
        if (!CLocationImage::IsDeviceAddress(address)) {
            return FormatText("The device address must be between 1 and %d.", kMaxAddress);
        }
        if (destination.SlotOf(address) != kNoDevice) continue;
        if (request.what != CopyWhat::Device || !mayAddDevices) {
            return FormatText("The destination holds no device at address %d.", address);
        }
        ++missing;
    }
    if (missing > FreeSlotCount(destination)) {
        return "The destination has no room for another device.";
    }
    if (request.what == CopyWhat::Device) return {};
    if (request.toImages.empty()) return "Choose at least one destination preset.";
    for (const int image : request.toImages) {
        if (!IsImage(image)) return "A preset must be 0 (the edit buffer) or 1 to 8.";
    }
    if (request.what == CopyWhat::Preset) return {};
    if (request.toSettings.empty()) return "Choose at least one destination setting.";
    for (const SettingId to : request.toSettings) {
        if (!SettingsCompatible(request.fromSetting, to)) {
            return FormatText("\"%s\" cannot be copied into \"%s\".",
                              SettingName(request.fromSetting), SettingName(to));
        }
    }
    return {};
}

}  // namespace

std::vector<CopyTarget> CopyTargets(const CopyRequest& request) {
    std::vector<CopyTarget> targets;
    for (const int address : request.toAddresses) {
        if (request.what == CopyWhat::Device) {
            targets.push_back({address, 0, request.fromSetting});
            continue;
        }
        for (const int image : request.toImages) {
            if (request.what == CopyWhat::Preset) {
                targets.push_back({address, image, request.fromSetting});
                continue;
            }
            for (const SettingId setting : request.toSettings) {
                targets.push_back({address, image, setting});
            }
        }
    }
    return targets;
}

std::string CheckCopy(const CLocationImage& source, const CLocationImage& destination,
                      const CopyRequest& request, bool mayAddDevices) {
    if (!CLocationImage::IsDeviceAddress(request.fromAddress) ||
        source.SlotOf(request.fromAddress) == kNoDevice) {
        return FormatText("The source holds no device at address %d.", request.fromAddress);
    }
    if (request.what != CopyWhat::Device && !IsImage(request.fromImage)) {
        return "A preset must be 0 (the edit buffer) or 1 to 8.";
    }
    return CheckDestinations(destination, request, mayAddDevices);
}

CopySnapshot TakeCopySnapshot(const CLocationImage& source, int fromAddress) {
    CopySnapshot snapshot;
    const int slot = source.SlotOf(fromAddress);
    if (slot == kNoDevice) return snapshot;
    const uint8_t* record = source.Record(slot);
    snapshot.record.assign(record, record + kDeviceRecordSize);
    return snapshot;
}

bool ApplyCopyTarget(const CopySnapshot& snapshot, const CopyRequest& request,
                     const CopyTarget& target, CLocationImage& destination) {
    if (snapshot.record.size() != kDeviceRecordSize) return false;
    int slot = destination.SlotOf(target.address);
    if (request.what == CopyWhat::Device) {
        if (slot == kNoDevice) {
            slot = FirstFreeSlot(destination);
            if (slot == kNoDevice || !CLocationImage::IsDeviceAddress(target.address)) return false;
            destination.SetSlotOf(target.address, slot);
        }
        // The record holds everything but the address, which lives in the table.
        std::memcpy(destination.Record(slot), snapshot.record.data(), kDeviceRecordSize);
        return true;
    }
    if (slot == kNoDevice || !IsImage(target.image) || !IsImage(request.fromImage)) return false;
    const uint8_t* from = snapshot.record.data() + kRecImages +
                          static_cast<std::size_t>(request.fromImage) * kImageSlotSize;
    uint8_t* to = destination.Image(slot, target.image);
    if (request.what == CopyWhat::Setting) {
        // A setting is edited into the destination as "set" would edit it: the destination's
        // Master links, limits and delay rules apply.
        const std::vector<ParamEdit> edits =
            SettingEdits(std::span<const uint8_t, kPresetImageSize>(from, kPresetImageSize),
                         request.fromSetting, target.setting);
        return ApplyImageEdits(destination, target.address, target.image, edits, EditReason::Copy);
    }
    std::memcpy(to, from, kImageSlotSize);
    // An edit buffer that was written no longer matches its stored preset.
    if (target.image == 0) destination.SetRecordInt(slot, kRecPresetModified, 1);
    return true;
}

std::string CopyBetweenLocations(const CLocationImage& source, CLocationImage& destination,
                                 const CopyRequest& request, bool mayAddDevices) {
    std::string error = CheckCopy(source, destination, request, mayAddDevices);
    if (!error.empty()) return error;
    const CopySnapshot snapshot = TakeCopySnapshot(source, request.fromAddress);
    for (const CopyTarget& target : CopyTargets(request)) {
        if (!ApplyCopyTarget(snapshot, request, target, destination)) {
            return "The destination has no room for another device.";
        }
    }
    return {};
}

}  // namespace arvestra
