#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/ParamField.h"
#include "model/PresetImage.h"

namespace arvestra {

// A non-owning view over the nine image slots of one device record, bound to one current slot.
// Every field of the parameter map is read and written through the field table (ParamField).
// The view never marks bytes for sending and never applies channel links; the document's
// parameter operations do that on top of it. An unbound view reads 0 and writes nothing.
class PresetImageView {
  public:
    PresetImageView() = default;

    // Binds to a record's image area (first slot) and a current slot 0..8; false (and unbound)
    // when the pointer is null or the slot index is out of range.
    bool rebind(std::uint8_t* firstSlot, int slotIndex);

    // Drops the binding; afterwards every read gives 0 and every write is ignored.
    void unbind();

    bool isBound() const { return firstSlot_ != nullptr; }
    int slotIndex() const { return slotIndex_; }
    std::uint8_t* firstSlot() const { return firstSlot_; }

    // Returns the current image's 250 bytes (nullptr while unbound).
    std::uint8_t* data() const;

    // Returns the field (masked and shifted down to bit 0); 0 for an index outside the field.
    int Get(ParamField field, int channel = kChannelA, int index = 0) const;

    // Clamps value to the field's range, writes it into its bits leaving the rest of the byte
    // unchanged, and returns the clamped value. An index outside the field writes nothing.
    int Set(ParamField field, int channel, int index, long long value);

    // Set for a field without index.
    int Set(ParamField field, int channel, long long value) {
        return Set(field, channel, 0, value);
    }

    // Returns one raw byte of the current image (0 for offsets outside 0..249).
    int byteAt(int offset) const;

    // Writes one raw byte of the current image; offsets outside 0..249 are ignored.
    void setByteAt(int offset, std::uint8_t value);

    // Returns the 24-bit delay count of a channel (may exceed 65536 in an image read from a
    // device).
    int delaySamples(int channel) const;

    // Limits samples to 0..65536, writes the three delay bytes and returns the stored count.
    int setDelaySamples(int channel, long long samples);

    // Returns the temperature of a channel in tenths of a degree Fahrenheit.
    int temperatureTenths(int channel) const;

    // Limits tenths to 0..1500, writes both temperature bytes and returns the stored count.
    int setTemperatureTenths(int channel, long long tenths);

    // Writes the preset name (Latin-1 bytes, at most 32, stopping at a 0 byte) into any slot
    // 0..8 of the bound record and pads with 0; false for a bad slot or an unbound view.
    bool setName(int slotIndex, std::string_view latin1Text);

    // Returns the name of slot 0..8 as Latin-1 bytes: up to the first 0, at most 32 bytes.
    std::string getName(int slotIndex) const;

  private:
    std::uint8_t* slot(int slotIndex) const;

    std::uint8_t* firstSlot_ = nullptr;
    int slotIndex_ = 0;
};

}  // namespace arvestra
