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
bool InLinkedBlock(const CQ7310Doc& doc, int offset) {
    for (const FieldDescriptor& field : AllFields()) {
        if (field.block == FieldBlock::Configuration || field.block == FieldBlock::Name ||
            !doc.IsLinked(field.block)) {
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
    if (currentSlot_ == kNoDevice || from == to) return;
    std::lock_guard<std::mutex> lock(dirtyLock);
    const uint8_t* source = location_.Image(currentSlot_, from);
    std::copy_n(source, kImageSlotSize, location_.Image(currentSlot_, to));
}

// ---- Names ---------------------------------------------------------------------------------

int CQ7310Doc::SetDeviceName(std::string_view name, int address) {
    const PauseResult pause = PauseWorker(true);
    if (!pause.ok) return 0;
    const int remembered = currentAddress;
    SelectDevice(address);
    if (currentSlot_ == kNoDevice) return 0;
    location_.SetDeviceName(currentSlot_, name);
    SetModifiedFlag(true);
    if (syncLive.load() != 0 && !SendDeviceName(link, name)) return 0;
    SelectDevice(remembered);
    ResumeWorker(pause.saved);
    return 1;
}

int CQ7310Doc::SetDeviceName(std::string_view name) {
    return SetDeviceName(name, currentAddress);
}

int CQ7310Doc::NameImage(int image, std::string_view name) {
    if (currentSlot_ == kNoDevice || image < 0 || image >= kImageCount) return 0;
    const int wasModified = PresetModified();
    location_.SetPresetName(currentSlot_, image, name);
    // The same name, byte by byte through the name operations, into the current image.
    std::array<uint8_t, kNameLength> bytes{};
    for (std::size_t i = 0; i < kNameLength && i < name.size() && name[i] != '\0'; ++i) {
        bytes[i] = static_cast<uint8_t>(name[i]);
    }
    for (std::size_t i = 0; i < kNameLength; ++i) {
        SetConfig(ParamField::NameChar, static_cast<int>(i), bytes[i]);
    }
    if (IsOnline()) {
        const PauseResult pause = PauseWorker(true);
        if (!pause.ok) return 0;
        if (!WriteImageRange(static_cast<int>(kNameOffset),
                             static_cast<int>(kNameOffset + kNameLength - 1), image)) {
            return 0;
        }
        ResumeWorker(pause.saved);
    }
    SetPresetModified(wasModified);
    return 1;
}

int CQ7310Doc::SetPresetName(std::string_view name) {
    return NameImage(CurrentPreset(), name);
}

// ---- Presets -------------------------------------------------------------------------------

int CQ7310Doc::WaitForDevicePreset(int preset) {
    const std::int64_t start = clock_.NowSeconds();
    for (;;) {
        if (!PollStatus()) return 0;
        if (devicePreset.load() == preset) return 1;
        if (clock_.NowSeconds() - start > 1) return 1;
        Ui().KeepResponsive();
        clock_.Sleep(0);
    }
}

int CQ7310Doc::RecallPreset(int preset, bool readBack) {
    const int p = std::clamp(preset, kFirstPreset, kLastPreset);
    const PauseResult pause = PauseWorker(true);
    if (!pause.ok) return 0;
    if (editingStarted && PresetModified()) {
        switch (AskQuestion(Ui(), kMsgSavePreset, ButtonSet::YesNoCancel)) {
            case UiAnswer::Yes:
                // A store that failed must not be followed by a recall that overwrites the
                // edits the user just asked to keep.
                if (!StorePreset()) return 0;
                break;
            case UiAnswer::No:
                break;
            default:
                ResumeWorker(pause.saved);
                return 1;
        }
    }
    SetCurrentPreset(p);
    if (IsOnline()) {
        if (!SendRecallPreset(link, p)) return 0;
        if (readBack) {
            BindImage(0);
            if (!ReadImage(0)) return 0;
        }
        if (!WaitForDevicePreset(p)) return 0;
    } else {
        CopyImage(p, 0);
    }
    SetPresetModified(0);
    SetModifiedFlag(true);
    RecordChains();
    EndEditHistory("a preset was recalled");
    ResumeWorker(pause.saved);
    return 1;
}

int CQ7310Doc::StorePreset() {
    const PauseResult pause = PauseWorker(true);
    if (!pause.ok) return 0;
    const int p = CurrentPreset();
    if (IsOnline()) {
        // The device stores its own edit buffer: an edit still waiting for the worker must
        // reach it first, or the store keeps the value from before the edit.
        link.SetAddress(currentAddress);
        if (!FlushDirty()) return 0;
        if (!SendStorePreset(link, p)) return 0;
    }
    // The document keeps the preset as the device now holds it, so that a later download
    // cannot put the old one back and closing offers to save it.
    CopyImage(0, p);
    SetModifiedFlag(true);
    SetPresetModified(0);
    EndEditHistory("the preset was stored");
    ResumeWorker(pause.saved);
    return 1;
}

int CQ7310Doc::RecallPresetOnAllDevices(int preset) {
    const int remembered = currentAddress;
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
        if (a == remembered || !IsDevicePresent(a)) continue;
        SelectDevice(a);
        if (!RecallPreset(preset, true)) return 0;
    }
    SelectDevice(remembered);
    return RecallPreset(preset, true);
}

// ---- Bypass and debug ----------------------------------------------------------------------

int CQ7310Doc::SetBypassA(int on) {
    return SetBypassFlag(kRecBypassA, on);
}

int CQ7310Doc::SetBypassB(int on) {
    return SetBypassFlag(kRecBypassB, on);
}

int CQ7310Doc::SetBypassFlag(std::size_t recordField, int on) {
    if (currentSlot_ == kNoDevice) return 0;
    location_.SetRecordInt(currentSlot_, recordField, on != 0 ? 1 : 0);
    SetModifiedFlag(true);
    const PauseResult pause = PauseWorker(true);
    if (!pause.ok) return 0;
    if (!SendBypass(link, BypassA() != 0, BypassB() != 0)) return 0;
    ResumeWorker(pause.saved);
    return 1;
}

int CQ7310Doc::SetMidiDebug(int on) {
    const PauseResult pause = PauseWorker(true);
    if (!pause.ok) return 0;
    midiDebug = on != 0 ? 1 : 0;
    if (!SendMidiDebug(link, midiDebug != 0)) return 0;
    ResumeWorker(pause.saved);
    return 1;
}

// ---- Adding, deleting and moving devices -------------------------------------------------------

int CQ7310Doc::AddDevice(int address) {
    if (address != -1 && !CLocationImage::IsDeviceAddress(address)) {
        Ui().ShowInformation(FormatText(kMsgAddressRangeFormat, kMaxAddress));
        return -1;
    }
    const int slot = FirstFreeSlot();
    if (address == -1) address = FirstFreeAddress();
    if (slot == kNoDevice || !CLocationImage::IsDeviceAddress(address)) {
        Ui().ShowInformation(kMsgNoFreeAddress);
        return -1;
    }
    if (location_.SlotOf(address) != kNoDevice) {
        Ui().ShowInformation(FormatText(kMsgAddressTakenFormat, address));
        return -1;
    }
    // A reused slot still holds the deleted device's bytes; a new device starts from zero.
    std::fill_n(location_.Record(slot), kDeviceRecordSize, uint8_t{0});
    location_.SetSlotOf(address, slot);
    const int remembered = currentAddress;
    SelectDevice(address);
    if (!SetUpNewDevice()) {
        // The failure has been reported and the application is offline or closing: the
        // half-made device leaves the table again, and the selection goes back.
        location_.SetSlotOf(address, kNoDevice);
        SelectDevice(remembered);
        return -1;
    }
    SelectDevice(location_.SlotOf(remembered) != kNoDevice ? remembered : address);
    if (!IsOnline()) RebuildPresentTable();
    SetModifiedFlag(true);
    EndEditHistory("a device was added");
    return address;
}

int CQ7310Doc::SetUpNewDevice() {
    if (!SetDeviceName(kDefaultDeviceName)) return 0;
    if (!SetBypassA(0) || !SetBypassB(0)) return 0;
    int named = 1;
    {
        // Images 1..8 are built in turn as the current image: none of their bytes may be sent
        // to the device as edit-buffer bytes.
        SyncLiveGuard quiet(syncLive, 0);
        named = InitialiseDeviceImages();
    }
    return named != 0 && RecallPreset(kFirstPreset, true) != 0 ? 1 : 0;
}

int CQ7310Doc::DeleteDevice(int address) {
    if (!CLocationImage::IsDeviceAddress(address)) return 0;
    location_.SetSlotOf(address, kNoDevice);
    present[static_cast<std::size_t>(address)] = 0;
    SetModifiedFlag(true);
    EndEditHistory("a device was deleted");
    if (address == currentAddress) {
        // The deleted record must not stay the one being edited.
        int next = address;
        for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
            if (IsDevicePresent(a)) {
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
    if (location_.SlotOf(oldAddress) == kNoDevice) return 0;
    if (location_.SlotOf(newAddress) != kNoDevice &&
        AskQuestion(Ui(), FormatText(kMsgOverwriteAddressFormat, newAddress), ButtonSet::OkCancel,
                    IconKind::Warning) != UiAnswer::Ok) {
        return 0;
    }
    location_.SetSlotOf(newAddress, location_.SlotOf(oldAddress));
    location_.SetSlotOf(oldAddress, kNoDevice);
    present[static_cast<std::size_t>(oldAddress)] = 0;
    SetModifiedFlag(true);
    EndEditHistory("a device address was changed");
    if (currentAddress == oldAddress || currentAddress == newAddress) SelectDevice(newAddress);
    return 1;
}

// ---- Transfers -----------------------------------------------------------------------------

int CQ7310Doc::ReadDeviceInfo() {
    const PauseResult pause = PauseWorker(true);
    if (!pause.ok) return 0;
    SyncLiveGuard quiet(syncLive, 0);
    DeviceInfo info;
    if (!RequestDeviceInfo(link, info)) return 0;
    if (link.IsOpen()) {  // with the port closed nothing was read
        if (!SetDeviceName(info.name)) return 0;
        SetCurrentPreset(info.currentPreset);
        devicePreset.store(info.currentPreset);
        if (!SetBypassA(info.bypassA ? 1 : 0)) return 0;
        if (!SetBypassB(info.bypassB ? 1 : 0)) return 0;
    }
    ResumeWorker(pause.saved);
    return 1;
}

int CQ7310Doc::ReadImage(int image) {
    if (image < 0 || image >= kImageCount) return 0;
    const PauseResult pause = PauseWorker(true);
    if (!pause.ok) return 0;
    const bool live = syncLive.load() != 0;
    SyncLiveGuard quiet(syncLive, 0);
    std::array<uint8_t, kPresetImageSize> reply{};
    if (!RequestImageBytes(link, image, 0, reply)) return 0;
    const bool read = link.IsOpen() && model.isBound();  // with the port closed nothing was read
    if (read) {
        std::lock_guard<std::mutex> lock(dirtyLock);
        std::copy(reply.begin(), reply.end(), model.data());
    }
    CheckImageAfterRead();
    // Applying the links can change bytes of the edit buffer (a linked block whose channels
    // differ): the device gets them too, or what it plays and what the page shows part ways.
    // Other limits put back what was read and are not echoed.
    if (read && live && image == 0) {
        for (std::size_t i = 0; i < reply.size(); ++i) {
            if (model.data()[i] != reply[i] && InLinkedBlock(*this, static_cast<int>(i))) {
                MarkDirty(static_cast<uint8_t>(i));
            }
        }
    }
    if (model.slotIndex() == 0) {
        RecordChains();
        EndEditHistory("the edit buffer was read from the device");
    }
    ResumeWorker(pause.saved);
    return 1;
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
    const int remembered = currentAddress;
    int complete = 1;
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
        if (!IsDevicePresent(a)) continue;
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
    const PauseResult pause = PauseWorker(true);
    if (!pause.ok) return 0;
    SyncLiveGuard live(syncLive, 1);
    const std::string name = GetDeviceName(currentAddress);
    if (!SetDeviceName(name)) return 0;
    if (BypassA() && !SetBypassA(1)) return 0;
    if (BypassB() && !SetBypassB(1)) return 0;
    const int p = CurrentPreset();
    LimitStoredImages();
    BindImage(0);
    if (!SendStoredImage(0, p)) return 0;
    const int wasModified = PresetModified();
    SetPresetModified(0);
    if (!RecallPreset(p, false)) return 0;
    for (int n = 0; n < kImageCount; ++n) {
        if (!SendStoredImage(n, n)) return 0;
    }
    SetPresetModified(wasModified);
    if (!BypassA() && !SetBypassA(0)) return 0;
    if (!BypassB() && !SetBypassB(0)) return 0;
    ResumeWorker(pause.saved);
    return 1;
}

void CQ7310Doc::LimitStoredImages() {
    // A damaged or hand-made file can hold codes outside a field's range; the device gets the
    // same limited images that a read from a device would leave, and so does the document.
    const int wasModified = PresetModified();
    for (int n = 0; n < kImageCount; ++n) {
        BindImage(n);
        CheckImageAfterRead();
    }
    BindImage(0);
    RecordChains();
    SetPresetModified(wasModified);
}

int CQ7310Doc::FactoryInitialise() {
    // Offline there is no device: the information read back would be a reply never filled,
    // and clearing presetModified would drop the user's edits unasked.
    if (!IsOnline()) return 0;
    WaitCursor wait(Ui());
    const PauseResult pause = PauseWorker(true);
    if (!pause.ok) return 0;
    if (!SendStorePreset(link, kFactoryRestorePreset)) return 0;
    if (!SendStorePreset(link, kFactoryRestorePreset)) return 0;
    SetPresetModified(0);
    if (!ReadDeviceInfo()) return 0;
    if (!RecallPreset(kFirstPreset, true)) return 0;
    // The worker runs again before the views refresh: a page's refresh may wait for the worker
    // to send its edits.
    ResumeWorker(pause.saved);
    UpdateAllViews(kHintLoaded);
    return 1;
}

}  // namespace arvestra
