// Discovery: the scan of bus addresses 1 to 126 that finds the devices, checks their type,
// maker and firmware, and enters them in the location (new-file mode) or reconciles them with
// it (reconcile mode); and the download of the whole location into the devices.
//
// Once a reported failure has taken the application offline or asked it to close (Ignore,
// Abort, Yes or No in the error box), the scan and the download stop at once instead of going
// on talking to devices the user chose to leave.
#include <array>
#include <string>

#include "app/ErrorMessages.h"
#include "document/AskQuestion.h"
#include "document/CQ7310Doc.h"
#include "document/LocationMessages.h"
#include "document/SyncLiveGuard.h"
#include "document/TextFormat.h"
#include "document/WaitCursor.h"
#include "link/DeviceCommands.h"
#include "link/DeviceCommandsLink.h"
#include "model/PresetImage.h"

namespace arvestra {

namespace {

// Switches the link between probing (20 ms, failures silent) and normal exchanges.
int SetProbeMode(CSerialLink& link, bool probing) {
    link.reportErrors = probing ? 0 : 1;
    link.quickProbe = probing ? 1 : 0;
    return link.ApplyTimeouts();
}

// Puts the link back to normal exchanges when the scan ends early.
class ProbeModeGuard {
  public:
    explicit ProbeModeGuard(CQ7310Doc& doc) : doc_(doc) {}
    ~ProbeModeGuard() {
        CSerialLink& link = doc_.Bus().Link();
        if (link.quickProbe == 0 && link.reportErrors == 1) return;
        link.reportErrors = 1;
        link.quickProbe = 0;
        // Offline the port is about to close; a failure to program it would only add a box.
        if (doc_.IsOnline()) link.ApplyTimeouts();
    }
    ProbeModeGuard(const ProbeModeGuard&) = delete;
    ProbeModeGuard& operator=(const ProbeModeGuard&) = delete;

  private:
    CQ7310Doc& doc_;
};

// False once a reported failure took the application offline or is closing it, or the link
// has been closed: nothing more may be sent.
bool CanGoOn(CQ7310Doc& doc) {
    return doc.IsOnline() != 0 && doc.Bus().Link().IsOpen();
}

bool AskYesNo(UiPort& ui, const std::string& text) {
    return AskQuestion(ui, text, ButtonSet::YesNo) == UiAnswer::Yes;
}

// Outcome of one address: go on with the next one, or end the scan with 0.
enum class ScanStep { kNext, kFail };

// Silence at an address: reconcile mode offers to drop the file's device there.
ScanStep HandleNoAnswer(CQ7310Doc& doc, int address, bool reconcile) {
    if (!CanGoOn(doc)) return ScanStep::kFail;
    if (reconcile && doc.Devices().Location().SlotOf(address) != kNoDevice &&
        AskYesNo(doc.Ui(), FormatText(kMsgNotOnNetworkFormat, address))) {
        doc.Devices().Location().SetSlotOf(address, kNoDevice);
        doc.SetModifiedFlag();
    }
    doc.Bus().PurgeLink();
    return ScanStep::kNext;
}

// True when the identify reply names a device this editor drives; otherwise says why.
bool IsAcceptedKind(UiPort& ui, int address, const DeviceIdentity& identity) {
    if (identity.deviceType != kAcceptedDeviceType) {
        ui.ShowInformation(FormatText(kMsgUnknownDeviceTypeFormat, address, identity.deviceType));
        return false;
    }
    if (identity.manufacturer != kAcceptedManufacturer) {
        ui.ShowInformation(
            FormatText(kMsgUnknownManufacturerFormat, address, identity.manufacturer));
        return false;
    }
    return true;
}

// The slot a found device goes to, or kNoDevice when the user does not want it in the file.
int SlotForFoundDevice(CQ7310Doc& doc, int address, bool reconcile) {
    if (!reconcile)
        return doc.Devices().FirstFreeSlot();  // the record keeps the new file's zero bytes
    const int listed = doc.Devices().Location().SlotOf(address);
    if (listed != kNoDevice) return listed;
    if (!AskYesNo(doc.Ui(), FormatText(kMsgNotInFileFormat, address))) return kNoDevice;
    const int slot = doc.Devices().FirstFreeSlot();
    if (slot == kNoDevice) return kNoDevice;
    SyncLiveGuard quiet(doc.Bus(), false);
    doc.AddDevice(address);
    return slot;
}

// Reads the firmware numbers into the record; false when the exchange failed.
bool ReadFirmware(CQ7310Doc& doc, int slot, FirmwareInfo& firmware) {
    if (!RequestFirmware(doc.Bus().Link(), firmware)) return false;
    doc.Devices().Location().SetRecordInt(slot, kRecApplicationNumber, firmware.applicationNumber);
    doc.Devices().Location().SetRecordInt(slot, kRecAppFirmware, firmware.applicationRevision);
    doc.Devices().Location().SetRecordInt(slot, kRecBaseFirmware, firmware.baseRevision);
    return true;
}

// True when the firmware suits this editor; otherwise says why.
bool IsAcceptedFirmware(UiPort& ui, int address, const FirmwareInfo& firmware) {
    if (!IsCompatibilityLevelAccepted(firmware)) {
        ui.ShowInformation(FormatText(kMsgOldFirmwareFormat, address, kErrOldFirmware,
                                      firmware.compatibilityLevel, kEditorCompatibilityLevel));
        return false;
    }
    if (!IsEditorLevelAccepted(firmware)) {
        ui.ShowInformation(FormatText(kMsgNewerFirmwareFormat, address, kErrNewerFirmware,
                                      firmware.editorLevel, kEditorCompatibilityLevel));
        return false;
    }
    return true;
}

// New-file mode: the device's name (when it answers) and the names of its eight presets.
ScanStep ReadNames(CQ7310Doc& doc, int address, int slot) {
    DeviceInfo info;
    if (RequestDeviceInfo(doc.Bus().Link(), info)) {
        SyncLiveGuard quiet(doc.Bus(), false);
        doc.SetDeviceName(info.name, address);
    } else if (!CanGoOn(doc)) {
        return ScanStep::kFail;
    }
    for (int preset = kFirstStoredPreset; preset <= kLastStoredPreset; ++preset) {
        std::array<uint8_t, kDeviceNameLength + 1> name{};  // the last zero ends the text
        const std::span<uint8_t> text(name.data(), kDeviceNameLength);
        if (!RequestImageBytes(doc.Bus().Link(), preset, static_cast<int>(kNameOffset), text)) {
            return ScanStep::kFail;
        }
        doc.Devices().Location().SetPresetName(
            slot, preset, std::string(reinterpret_cast<const char*>(name.data())));
    }
    return ScanStep::kNext;
}

// Probes one address and, when an acceptable device answers, enters it in the location.
ScanStep DiscoverAddress(CQ7310Doc& doc, int address, bool reconcile) {
    CSerialLink& link = doc.Bus().Link();
    link.SetAddress(address);
    if (!SetProbeMode(link, true)) return ScanStep::kFail;
    DeviceIdentity identity;
    if (!RequestIdentity(link, identity)) return HandleNoAnswer(doc, address, reconcile);
    if (!SetProbeMode(link, false)) return ScanStep::kFail;
    if (!IsAcceptedKind(doc.Ui(), address, identity)) return ScanStep::kNext;

    const int slot = SlotForFoundDevice(doc, address, reconcile);
    if (!CanGoOn(doc)) return ScanStep::kFail;
    if (slot == kNoDevice) return ScanStep::kNext;
    doc.Devices().Location().SetSlotOf(address, slot);
    doc.Devices().SetPresent(address, true);
    doc.SelectDevice(address);
    if (!doc.Bus().SetMidiDebug(doc.Bus().MidiDebug()) || !CanGoOn(doc)) return ScanStep::kFail;

    FirmwareInfo firmware;
    if (!ReadFirmware(doc, slot, firmware)) return ScanStep::kFail;
    if (!IsAcceptedFirmware(doc.Ui(), address, firmware)) {
        doc.Devices().SetPresent(address, false);
        return ScanStep::kNext;
    }
    if (reconcile) return ScanStep::kNext;
    return ReadNames(doc, address, slot);
}

}  // namespace

int CQ7310Doc::Discover(bool reconcile) {
    devices_.ClearPresent();
    if (!CanGoOn(*this)) return 0;
    ProbeModeGuard restoreLink(*this);
    for (int address = kFirstAddress; address <= kMaxAddress; ++address) {
        if (!CanGoOn(*this)) return 0;
        if (DiscoverAddress(*this, address, reconcile) == ScanStep::kFail) return 0;
    }
    if (!SetProbeMode(bus_.Link(), false)) return 0;
    if (devices_.CountPresentDevices() == 0) {
        const int answer = reporter_.ReportError(kMsgNoDevicesFound, false, kErrNoDevices, 0, 0, 0);
        return answer != kAnswerProceed ? 0 : 1;
    }
    return 1;
}

int CQ7310Doc::DownloadToDevices() {
    WaitCursor wait(Ui());
    if (!bus_.StartWorker()) return 0;
    if (!bus_.PauseWorker(true).ok) return 0;
    bus_.SetSyncLive(true);
    if (!bus_.OpenLink()) return 0;
    if (!Discover(true)) return 0;

    int firstAddress = 0;
    for (int address = kFirstAddress; address <= kMaxAddress; ++address) {
        if (!devices_.IsMarkedPresent(address)) continue;
        if (!CanGoOn(*this)) return 0;
        SelectDevice(address);
        if (!DownloadDevice() || !CanGoOn(*this)) return 0;
        if (firstAddress == 0) firstAddress = address;
    }
    bus_.SetSyncLive(true);
    if (firstAddress != 0) SelectDevice(firstAddress);
    bus_.EnableSync();
    Ui().DocumentChanged();
    return 1;
}

}  // namespace arvestra
