// CQ7310Doc: the editing operations of the location model. Every step that exchanges frames
// with a device pauses the worker first and resumes it only on success; a failed exchange
// returns 0 at once and leaves the worker paused (the application is then offline or closing).
#include <algorithm>

#include "document/AskQuestion.h"
#include "document/CQ7310Doc.h"
#include "document/SyncLiveGuard.h"
#include "document/TextFormat.h"
#include "document/WaitCursor.h"
#include "link/DeviceCommandsLink.h"

namespace arvestra {
namespace {

// True when the byte at `offset` belongs to a block whose Master flag is set.
bool InLinkedBlock(const EditBuffer& edits, int offset) {
    for (const FieldDescriptor& field : AllFields()) {
        if (field.block == FieldBlock::Configuration || field.block == FieldBlock::Name ||
            !edits.IsLinked(field.block)) {
            continue;
        }
        const auto id = static_cast<ParamField>(&field - AllFields().data());
        for (int channel = kChannelA; channel <= kChannelB; ++channel) {
            for (int index = 0; index < field.indexCount; ++index) {
                if (FieldOffset(id, channel, index) == offset) return true;
            }
        }
    }
    return false;
}

}  // namespace

void CQ7310Doc::CopyImage(int from, int to) {
    if (devices_.CurrentSlot() == kNoDevice || from == to) return;
    const auto hold = edits_.Hold();
    const uint8_t* source = devices_.Location().Image(devices_.CurrentSlot(), from);
    std::copy_n(source, kImageSlotSize, devices_.Location().Image(devices_.CurrentSlot(), to));
}

// ---- Names ---------------------------------------------------------------------------------

int CQ7310Doc::SetDeviceName(std::string_view name, int address) {
    const PauseResult pause = bus_.PauseWorker(true);
    if (!pause.ok) return 0;
    const int remembered = devices_.CurrentAddress();
    SelectDevice(address);
    if (devices_.CurrentSlot() == kNoDevice) return 0;
    devices_.Location().SetDeviceName(devices_.CurrentSlot(), name);
    SetModifiedFlag(true);
    if (bus_.IsSyncLive() && !SendDeviceName(bus_.Link(), name)) return 0;
    SelectDevice(remembered);
    bus_.ResumeWorker(pause.saved);
    return 1;
}

int CQ7310Doc::SetDeviceName(std::string_view name) {
    return SetDeviceName(name, devices_.CurrentAddress());
}

int CQ7310Doc::NameImage(int image, std::string_view name) {
    if (devices_.CurrentSlot() == kNoDevice || image < 0 || image >= kImageCount) return 0;
    const int wasModified = devices_.PresetModified();
    devices_.Location().SetPresetName(devices_.CurrentSlot(), image, name);
    // The same name, byte by byte through the name operations, into the current image.
    std::array<uint8_t, kNameLength> bytes{};
    for (std::size_t i = 0; i < kNameLength && i < name.size() && name[i] != '\0'; ++i) {
        bytes[i] = static_cast<uint8_t>(name[i]);
    }
    for (std::size_t i = 0; i < kNameLength; ++i) {
        edits_.SetConfig(ParamField::NameChar, static_cast<int>(i), bytes[i]);
    }
    if (IsOnline()) {
        const PauseResult pause = bus_.PauseWorker(true);
        if (!pause.ok) return 0;
        if (!WriteImageRange(static_cast<int>(kNameOffset),
                             static_cast<int>(kNameOffset + kNameLength - 1), image)) {
            return 0;
        }
        bus_.ResumeWorker(pause.saved);
    }
    devices_.SetPresetModified(wasModified);
    return 1;
}

int CQ7310Doc::SetPresetName(std::string_view name) {
    return NameImage(devices_.CurrentPreset(), name);
}

// ---- Presets -------------------------------------------------------------------------------

int CQ7310Doc::WaitForDevicePreset(int preset) {
    const std::int64_t start = clock_.NowSeconds();
    for (;;) {
        if (!bus_.PollStatus()) return 0;
        if (bus_.DevicePreset() == preset) return 1;
        if (clock_.NowSeconds() - start > 1) return 1;
        Ui().KeepResponsive();
        clock_.Sleep(0);
    }
}

int CQ7310Doc::RecallPreset(int preset, bool readBack) {
    const int p = std::clamp(preset, kFirstPreset, kLastPreset);
    const PauseResult pause = bus_.PauseWorker(true);
    if (!pause.ok) return 0;
    if (editingStarted_ && devices_.PresetModified()) {
        switch (AskQuestion(Ui(), kMsgSavePreset, ButtonSet::YesNoCancel)) {
            case UiAnswer::Yes:
                // A store that failed must not be followed by a recall that overwrites the
                // edits the user just asked to keep.
                if (!StorePreset()) return 0;
                break;
            case UiAnswer::No:
                break;
            default:
                bus_.ResumeWorker(pause.saved);
                return 1;
        }
    }
    devices_.SetCurrentPreset(p);
    if (IsOnline()) {
        if (!SendRecallPreset(bus_.Link(), p)) return 0;
        if (readBack) {
            BindImage(0);
            if (!ReadImage(0)) return 0;
        }
        if (!WaitForDevicePreset(p)) return 0;
    } else {
        CopyImage(p, 0);
    }
    devices_.SetPresetModified(0);
    SetModifiedFlag(true);
    RecordChains();
    edits_.EndHistory("a preset was recalled");
    bus_.ResumeWorker(pause.saved);
    return 1;
}

int CQ7310Doc::StorePreset() {
    const PauseResult pause = bus_.PauseWorker(true);
    if (!pause.ok) return 0;
    const int p = devices_.CurrentPreset();
    if (IsOnline()) {
        // The device stores its own edit buffer: an edit still waiting for the worker must
        // reach it first, or the store keeps the value from before the edit.
        bus_.Link().SetAddress(devices_.CurrentAddress());
        if (!bus_.FlushDirty()) return 0;
        if (!SendStorePreset(bus_.Link(), p)) return 0;
    }
    // The document keeps the preset as the device now holds it, so that a later download
    // cannot put the old one back and closing offers to save it.
    CopyImage(0, p);
    SetModifiedFlag(true);
    devices_.SetPresetModified(0);
    edits_.EndHistory("the preset was stored");
    bus_.ResumeWorker(pause.saved);
    return 1;
}

int CQ7310Doc::RecallPresetOnAllDevices(int preset) {
    const int remembered = devices_.CurrentAddress();
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
        if (a == remembered || !devices_.IsDevicePresent(a)) continue;
        SelectDevice(a);
        if (!RecallPreset(preset, true)) return 0;
    }
    SelectDevice(remembered);
    return RecallPreset(preset, true);
}

// ---- Bypass ----------------------------------------------------------------------

int CQ7310Doc::SetBypass(int channel, bool on) {
    if (devices_.CurrentSlot() == kNoDevice) return 0;
    const std::size_t recordField = channel == kChannelA ? kRecBypassA : kRecBypassB;
    devices_.Location().SetRecordInt(devices_.CurrentSlot(), recordField, on ? 1 : 0);
    SetModifiedFlag(true);
    const PauseResult pause = bus_.PauseWorker(true);
    if (!pause.ok) return 0;
    if (!SendBypass(bus_.Link(), devices_.BypassA() != 0, devices_.BypassB() != 0)) return 0;
    bus_.ResumeWorker(pause.saved);
    return 1;
}

// ---- Adding, deleting and moving devices -------------------------------------------------------

int CQ7310Doc::AddDevice(int address) {
    if (address != -1 && !CLocationImage::IsDeviceAddress(address)) {
        Ui().ShowInformation(FormatText(kMsgAddressRangeFormat, kMaxAddress));
        return -1;
    }
    const int slot = devices_.FirstFreeSlot();
    if (address == -1) address = devices_.FirstFreeAddress();
    if (slot == kNoDevice || !CLocationImage::IsDeviceAddress(address)) {
        Ui().ShowInformation(kMsgNoFreeAddress);
        return -1;
    }
    if (devices_.Location().SlotOf(address) != kNoDevice) {
        Ui().ShowInformation(FormatText(kMsgAddressTakenFormat, address));
        return -1;
    }
    devices_.Enter(address, slot);
    const int remembered = devices_.CurrentAddress();
    SelectDevice(address);
    if (!SetUpNewDevice()) {
        // The failure has been reported and the application is offline or closing: the
        // half-made device leaves the table again, and the selection goes back.
        devices_.Remove(address);
        SelectDevice(remembered);
        return -1;
    }
    SelectDevice(devices_.Location().SlotOf(remembered) != kNoDevice ? remembered : address);
    if (!IsOnline()) devices_.RebuildPresentTable();
    SetModifiedFlag(true);
    edits_.EndHistory("a device was added");
    return address;
}

int CQ7310Doc::SetUpNewDevice() {
    if (!SetDeviceName(kDefaultDeviceName)) return 0;
    if (!SetBypass(kChannelA, false) || !SetBypass(kChannelB, false)) return 0;
    int named = 1;
    {
        // Images 1..8 are built in turn as the current image: none of their bytes may be sent
        // to the device as edit-buffer bytes.
        SyncLiveGuard quiet(bus_, false);
        named = InitialiseDeviceImages();
    }
    return named != 0 && RecallPreset(kFirstPreset, true) != 0 ? 1 : 0;
}

int CQ7310Doc::InitialiseDeviceImages() {
    static constexpr int kPalette[12] = {1, 11, 13, 5, 3, 0, 2, 12, 14, 8, 4, 0};
    int named = 1;
    // Every slot starts from the initial values: setting up, not an edit anyone made.
    const EditScope setup(edits_, EditReason::DeviceSetup);
    for (int k = 0; k < kImageCount; ++k) {
        BindImage(k);
        edits_.ApplyConfigurationDefaults();
        edits_.ApplyEqualiserDefaults();
        edits_.ApplyLowPassDefaults();
        edits_.ApplyHighPassDefaults();
        edits_.ApplyDelayDefaults();
        edits_.ApplyCompLimiterDefaults();
        if (!NameImage(k, "Preset " + std::to_string(k))) named = 0;
        edits_.SetRouting(ParamField::OutputSource, kChannelA, 1);
        edits_.SetRouting(ParamField::OutputSource, kChannelB, 2);
        for (int s = 0; s < 16; ++s) edits_.SetConfig(ParamField::ChainSlot, s, 0);
        for (int p = 0; p < 12; ++p) edits_.SetConfig(ParamField::PalettePosition, p, kPalette[p]);
        for (int ch = kChannelA; ch <= kChannelB; ++ch) {
            for (int n = 0; n < 10; ++n) edits_.Set(ParamField::EqParamFrequency, ch, n, 7 + 9 * n);
        }
        edits_.UpdateCompLimLinkFields();
    }
    devices_.SetPresetModified(false);
    BindImage(0);
    return named;
}

int CQ7310Doc::DeleteDevice(int address) {
    if (!CLocationImage::IsDeviceAddress(address)) return 0;
    devices_.Remove(address);
    SetModifiedFlag(true);
    edits_.EndHistory("a device was deleted");
    if (address == devices_.CurrentAddress()) {
        // The deleted record must not stay the one being edited.
        int next = address;
        for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
            if (devices_.IsDevicePresent(a)) {
                next = a;
                break;
            }
        }
        SelectDevice(next);
    }
    return 1;
}

int CQ7310Doc::ChangeDeviceAddress(int oldAddress, int newAddress) {
    if (!CLocationImage::IsDeviceAddress(oldAddress) ||
        !CLocationImage::IsDeviceAddress(newAddress)) {
        return 0;
    }
    if (oldAddress == newAddress) {
        Ui().ShowInformation(FormatText(kMsgSameAddressFormat, newAddress));
        return 0;
    }
    if (devices_.Location().SlotOf(oldAddress) == kNoDevice) return 0;
    if (devices_.Location().SlotOf(newAddress) != kNoDevice &&
        AskQuestion(Ui(), FormatText(kMsgOverwriteAddressFormat, newAddress), ButtonSet::OkCancel,
                    IconKind::Warning) != UiAnswer::Ok) {
        return 0;
    }
    devices_.Move(oldAddress, newAddress);
    SetModifiedFlag(true);
    edits_.EndHistory("a device address was changed");
    if (devices_.CurrentAddress() == oldAddress || devices_.CurrentAddress() == newAddress)
        SelectDevice(newAddress);
    return 1;
}

// ---- Transfers -----------------------------------------------------------------------------

int CQ7310Doc::ReadDeviceInfo() {
    const PauseResult pause = bus_.PauseWorker(true);
    if (!pause.ok) return 0;
    SyncLiveGuard quiet(bus_, false);
    DeviceInfo info;
    if (!RequestDeviceInfo(bus_.Link(), info)) return 0;
    if (bus_.Link().IsOpen()) {  // with the port closed nothing was read
        if (!SetDeviceName(info.name)) return 0;
        devices_.SetCurrentPreset(info.currentPreset);
        bus_.SetDevicePreset(info.currentPreset);
        if (!SetBypass(kChannelA, info.bypassA)) return 0;
        if (!SetBypass(kChannelB, info.bypassB)) return 0;
    }
    bus_.ResumeWorker(pause.saved);
    return 1;
}

int CQ7310Doc::ReadImage(int image) {
    if (image < 0 || image >= kImageCount) return 0;
    const PauseResult pause = bus_.PauseWorker(true);
    if (!pause.ok) return 0;
    const bool live = bus_.IsSyncLive();
    SyncLiveGuard quiet(bus_, false);
    std::array<uint8_t, kPresetImageSize> reply{};
    if (!RequestImageBytes(bus_.Link(), image, 0, reply)) return 0;
    // With the port closed nothing was read.
    const bool read = bus_.Link().IsOpen() && edits_.IsBound();
    const std::array<uint8_t, kPresetImageSize> held = CurrentImageBytes();
    {
        const EditScope readBack(edits_, EditReason::DeviceRead);
        if (read) edits_.LoadImage(reply);
        edits_.CheckImageAfterRead();
    }
    const bool changed = held != CurrentImageBytes();
    // Applying the links can change bytes of the edit buffer (a linked block whose channels
    // differ): the device gets them too, or what it plays and what the page shows part ways.
    // Other limits put back what was read and are not echoed.
    if (read && live && image == 0) {
        for (std::size_t i = 0; i < reply.size(); ++i) {
            if (edits_.Data()[i] != reply[i] && InLinkedBlock(edits_, static_cast<int>(i))) {
                edits_.MarkDirty(static_cast<uint8_t>(i));
            }
        }
    }
    // A read that finds what the document holds already replaces nothing: the undo history and
    // the A/B versions stay (saving online reads every device back).
    if (edits_.ImageIndex() == 0) {
        RecordChains();
        if (changed) edits_.EndHistory("the edit buffer was read from the device");
    }
    bus_.ResumeWorker(pause.saved);
    return 1;
}

std::array<uint8_t, kPresetImageSize> CQ7310Doc::CurrentImageBytes() const {
    std::array<uint8_t, kPresetImageSize> bytes{};
    edits_.CopyBytes(0, static_cast<int>(kPresetImageSize), bytes.data());
    return bytes;
}

int CQ7310Doc::UploadDevice() {
    if (!ReadDeviceInfo()) return 0;
    for (int n = 0; n < kImageCount; ++n) {
        BindImage(n);
        if (!ReadImage(n)) {
            BindImage(0);
            return 0;
        }
    }
    // Editing goes on in the edit buffer, never in the last preset read.
    BindImage(0);
    RecordChains();
    return 1;
}

int CQ7310Doc::UploadAllDevices() {
    if (!IsOnline()) return 1;
    const int remembered = devices_.CurrentAddress();
    int complete = 1;
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
        if (!devices_.IsDevicePresent(a)) continue;
        // Ignore or Abort on a failed exchange takes the application offline: stop there
        // instead of failing once more on every remaining address.
        if (!IsOnline()) {
            complete = 0;
            break;
        }
        SelectDevice(a);
        UploadDevice();
    }
    SelectDevice(remembered);
    return complete;
}

int CQ7310Doc::DownloadDevice() {
    const PauseResult pause = bus_.PauseWorker(true);
    if (!pause.ok) return 0;
    SyncLiveGuard live(bus_, true);
    const std::string name = devices_.GetDeviceName(devices_.CurrentAddress());
    if (!SetDeviceName(name)) return 0;
    if (devices_.BypassA() && !SetBypass(kChannelA, true)) return 0;
    if (devices_.BypassB() && !SetBypass(kChannelB, true)) return 0;
    const int p = devices_.CurrentPreset();
    LimitStoredImages();
    BindImage(0);
    if (!SendStoredImage(0, p)) return 0;
    const int wasModified = devices_.PresetModified();
    devices_.SetPresetModified(0);
    if (!RecallPreset(p, false)) return 0;
    for (int n = 0; n < kImageCount; ++n) {
        if (!SendStoredImage(n, n)) return 0;
    }
    devices_.SetPresetModified(wasModified);
    if (!devices_.BypassA() && !SetBypass(kChannelA, false)) return 0;
    if (!devices_.BypassB() && !SetBypass(kChannelB, false)) return 0;
    bus_.ResumeWorker(pause.saved);
    return 1;
}

void CQ7310Doc::LimitStoredImages() {
    // A damaged or hand-made file can hold codes outside a field's range; the device gets the
    // same limited images that a read from a device would leave, and so does the document.
    const int wasModified = devices_.PresetModified();
    for (int n = 0; n < kImageCount; ++n) {
        BindImage(n);
        edits_.CheckImageAfterRead();
    }
    BindImage(0);
    RecordChains();
    devices_.SetPresetModified(wasModified);
}

int CQ7310Doc::FactoryInitialise() {
    // Offline there is no device: the information read back would be a reply never filled,
    // and clearing presetModified would drop the user's edits unasked.
    if (!IsOnline()) return 0;
    WaitCursor wait(Ui());
    const PauseResult pause = bus_.PauseWorker(true);
    if (!pause.ok) return 0;
    if (!SendStorePreset(bus_.Link(), kFactoryRestorePreset)) return 0;
    if (!SendStorePreset(bus_.Link(), kFactoryRestorePreset)) return 0;
    devices_.SetPresetModified(0);
    if (!ReadDeviceInfo()) return 0;
    if (!RecallPreset(kFirstPreset, true)) return 0;
    // The worker runs again before the views refresh: a page's refresh may wait for the worker
    // to send its edits.
    bus_.ResumeWorker(pause.saved);
    Ui().DocumentReloaded();
    return 1;
}

}  // namespace arvestra
