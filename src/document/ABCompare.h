// A/B compare: a second version of the edit buffer of the device being edited. Swapping puts
// the kept version into the edit buffer through the same byte writes an edit makes (so online
// the device follows) and keeps the one it replaces. The first swap on a device starts version
// B as a copy of A; a recall, store, read or device-list change starts over with A.
#pragma once

#include <array>
#include <cstdint>

#include "document/PageDocument.h"

namespace arvestra {

class CABCompare {
  public:
    enum class Version { A, B };

    // The version the edit buffer of the document's current device holds now.
    Version Active(const IPageDocument& doc) const;
    // Swaps the edit buffer with the kept version; false when no device is selected.
    bool Swap(IPageDocument& doc);
    // The letter of a version, as the window shows it.
    static const char* Name(Version version) { return version == Version::A ? "A" : "B"; }

  private:
    bool Follows(const IPageDocument& doc) const;

    bool started_ = false;
    int address_ = 0;
    int slot_ = kNoDevice;
    std::uint64_t epoch_ = 0;
    Version active_ = Version::A;
    std::array<uint8_t, kPresetImageSize> kept_{};
};

}  // namespace arvestra
