#include "document/LocationFileFormat.h"

#include <cstring>

namespace arvestra {

namespace {

HeaderCheck Refuse(int number, int detail0 = 0, int detail1 = 0, int detail2 = 0) {
    HeaderCheck check;
    check.verdict = HeaderVerdict::kRefused;
    check.fault = FileFault{number, detail0, detail1, detail2};
    return check;
}

}  // namespace

HeaderCheck CheckLocationFile(const CLocationImage& location, std::size_t sourceLength) {
    if (std::memcmp(location.Data() + kMagicOffset, kMagic, sizeof kMagic) != 0) {
        return Refuse(kErrBadMagic);
    }
    const uint32_t format = location.HeaderWord(kFormatOffset);
    if (format != kFormatWord) return Refuse(kErrBadFormat);
    const uint32_t version = location.HeaderWord(kVersionOffset);
    if (version != kVersionCurrent && version != kVersionOld) {
        return Refuse(kErrBadVersion);
    }
    // A cut header would otherwise read its missing table entries as zero: slot 0 everywhere.
    if (sourceLength < kHeaderSize) {
        return Refuse(kErrShortHeader, static_cast<int>(sourceLength),
                      static_cast<int>(kHeaderSize));
    }
    for (int address = 0; address < kAddressCount; ++address) {
        const int32_t entry = location.RawEntry(address);
        if (!CLocationImage::IsValidEntry(entry)) {
            return Refuse(kErrBadAddressTable, address, static_cast<int>(entry));
        }
    }
    HeaderCheck check;
    check.verdict = version == kVersionOld ? HeaderVerdict::kOldVersion : HeaderVerdict::kCurrent;
    return check;
}

void ConvertFromOldVersion(CLocationImage& location) {
    for (int address = kFirstAddress; address <= kMaxAddress; ++address) {
        const int slot = location.SlotOf(address);
        if (slot == kNoDevice) continue;
        const uint8_t* gains = location.Record(slot) + kRecLegacyGains;
        for (int image = 0; image < kImageCount; ++image) {
            uint8_t* target = location.Image(slot, image);
            for (int i = 0; i < 4; ++i) target[kLegacyGainTargets[i]] = gains[i];
        }
    }
    location.SetHeaderWord(kVersionOffset, kVersionCurrent);
}

bool ListsAnyDevice(const CLocationImage& location) {
    for (int address = kFirstAddress; address <= kMaxAddress; ++address) {
        if (location.SlotOf(address) != kNoDevice) return true;
    }
    return false;
}

std::size_t UsedLength(const CLocationImage& location) {
    const auto highest = static_cast<std::size_t>(location.HighestUsedSlot());
    return kHeaderSize + (highest + 1) * kDeviceRecordSize;
}

}  // namespace arvestra
