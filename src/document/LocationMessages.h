// Texts the Location File operations and discovery show; %s and %d as the callers fill them.
#pragma once

namespace arvestra {

// Saving failed (273 to 275); %s is the path.
inline constexpr char kMsgCannotSaveFileFormat[] =
    "Error: Cannot save file %s.\nPlease make sure that there is enough room available on the "
    "disk.";
// No working copy could be made (289 to 291).
inline constexpr char kMsgCannotSaveTemporary[] =
    "Error: Cannot save temporary file.\nPlease make sure that there is enough room available on "
    "the disk.";
// The working copy could not be opened or mapped (292 to 294).
inline constexpr char kMsgCannotCreateNew[] =
    "Error: Cannot create new file.\nPlease make sure that there is enough room available on the "
    "disk.";
// The file is not a usable Location File (295 to 299).
inline constexpr char kMsgCorruptLocationFile[] =
    "Error: The location file that you are trying to open has been corrupted or is not really a "
    "location file. Please open another location file or create a new one.";
// Version 0x80000001; %s is the path.
inline constexpr char kMsgOldVersionFormat[] =
    "The location file %s was created with an older version of Arvestra. Click Yes to convert it "
    "to the current version, click No to attempt to use it as it is, or click Cancel to exit "
    "Arvestra.\n\nNote: Clicking No will probably result in incorrect gain settings.";

// Discovery; %d is the address (and the reported code).
inline constexpr char kMsgNotOnNetworkFormat[] =
    "A device was found at address %d in the location file, but not on the network; do you want "
    "to delete it from the location file?";
inline constexpr char kMsgNotInFileFormat[] =
    "A device was found at address %d on the network, but not in the location file; do you want "
    "to add it to the location file?";
inline constexpr char kMsgUnknownDeviceTypeFormat[] =
    "The device at address %d reports an unknown Device Type of %d; this device will be ignored.";
inline constexpr char kMsgUnknownManufacturerFormat[] =
    "The device at address %d reports an unknown Manufacturer Code of %d; this device will be "
    "ignored.";
inline constexpr char kMsgOldFirmwareFormat[] =
    "The device at address %d has a version of firmware that is incompatible with this version "
    "of Arvestra;\nthis device will be ignored.\n\nIf you cannot resolve this problem, please "
    "contact Korvanex and tell us this\nerror number: %x - %x - %x - 0";
inline constexpr char kMsgNewerFirmwareFormat[] =
    "Device at address %d has an incompatible version of firmware; it will be ignored.\n\nError "
    "Number = %x - %x - %x - 0";

// Going offline with a modified location.
inline constexpr char kMsgUploadBeforeOffline[] =
    "Do you want to upload settings from all Devices to the location file before going offline?";
// "&Upload From Devices" replaces the open location.
inline constexpr char kMsgConfirmUpload[] =
    "This action will overwrite the contents of the current location file; are you sure you want "
    "to do this?";

// Error numbers of discovery.
inline constexpr int kErrNoDevices = 257;
inline constexpr int kErrOldFirmware = 353;
inline constexpr int kErrNewerFirmware = 354;

}  // namespace arvestra
