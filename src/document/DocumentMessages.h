// Texts the document asks and the name a new device gets. Apart from the document, so a front
// end that answers the questions (the command line's answer policy) needs nothing else of it.
#pragma once

namespace arvestra {

// Texts the document asks.
inline constexpr char kMsgSavePreset[] =
    "The current preset has been modified, do you want to save it?";
inline constexpr char kMsgOverwriteAddressFormat[] =
    "There is already a device at address %d, do you want to overwrite it?";
inline constexpr char kMsgAddressRangeFormat[] =
    "The device address must be between 1 and %d. Please enter a valid device address.";
inline constexpr char kMsgNoFreeAddress[] =
    "The location already holds 126 devices; delete a device before adding another.";
inline constexpr char kMsgSameAddressFormat[] = "The device is already at address %d.";
inline constexpr char kMsgAddressTakenFormat[] = "There is already a device at address %d.";
inline constexpr char kDefaultDeviceName[] = "No Device Name";

}  // namespace arvestra
