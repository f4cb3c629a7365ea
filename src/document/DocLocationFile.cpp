// The document's Location File operations: new, open, recover, save and close. The file work
// itself (working copies, the checks, the atomic save, the recovery note) is LocationSession's;
// what happens here is what the location means to the devices and the views.
#include <memory>
#include <span>

#include "document/AskQuestion.h"
#include "document/CQ7310Doc.h"
#include "document/LocationFileFormat.h"
#include "document/WaitCursor.h"
#include "document/WorkingCopy.h"

namespace arvestra {

int CQ7310Doc::MapWorkingCopy(const std::string& path) {
    std::unique_ptr<WorkingCopy> copy = session_.PrepareCopy(path);
    if (!copy) return 0;  // the document keeps the copy it had
    AttachStorage(copy->Bytes());
    session_.Adopt(std::move(copy), path);  // the previous working copy is deleted now
    UpdateRecoveryNote();
    if (path.empty() && !IsOnline()) AddDevice(-1);
    return 1;
}

void CQ7310Doc::UpdateRecoveryNote() {
    session_.UpdateRecoveryNote(IsModified());
}

int CQ7310Doc::RecoverLocation(const std::string& copyPath, const std::string& originalPath) {
    App().SetOnline(0);
    std::unique_ptr<WorkingCopy> copy = session_.PrepareRecoveredCopy(copyPath);
    if (!copy) return 0;
    ClearLocation();
    AttachStorage(copy->Bytes());
    session_.Adopt(std::move(copy), originalPath);
    if (!ListsAnyDevice(devices_.Location())) AddDevice(-1);
    SelectDevice(devices_.RebuildPresentTable());
    SetModifiedFlag(true);
    UpdateRecoveryNote();
    Ui().DocumentReloaded();
    return 1;
}

void CQ7310Doc::UnmapWorkingCopy() {
    // Without a working copy the document works on its own bytes, which stay as they are.
    if (!session_.HasWorkingCopy()) return;
    DetachStorage();
    session_.Release();
}

int CQ7310Doc::NewLocation() {
    session_.SetNewLocationMade(true);
    if (IsOnline() && !bus_.StartWorker()) return 0;
    if (!bus_.PauseWorker(true).ok) return 0;
    bus_.SetSyncLive(false);
    ClearLocation();
    if (!MapWorkingCopy("")) return 0;

    if (IsOnline()) {
        WaitCursor wait(Ui());
        if (!bus_.OpenLink()) return 0;
        if (!Discover(false)) {
            // The failure has taken the application offline (or is closing it): the link
            // follows, and the empty location gets its default device, which is then shown.
            bus_.ApplyOnlineState();
            AddDevice(-1);
            if (!IsOnline()) SelectDevice(devices_.RebuildPresentTable());
            Ui().DocumentReloaded();
            return 0;
        }
        // Slot 0 may hold a device that discovery entered and then refused for its firmware
        // (its table entry stays in the file): edit the first device that was accepted.
        const int first = devices_.FirstPresentAddress();
        if (first == 0 || !EditDevice(first)) return 0;
        bus_.SetSyncLive(true);
        bus_.EnableSync();
    } else {
        if (!bus_.CloseLink()) return 0;
        SelectDevice(devices_.RebuildPresentTable());
        SetModifiedFlag(false);
    }
    editingStarted_ = true;
    Ui().DocumentReloaded();
    SetModifiedFlag(false);
    return 1;
}

int CQ7310Doc::OpenLocation(const std::string& path) {
    App().SetOnline(0);
    if (!MapWorkingCopy(path)) return 0;
    ClearLocation();
    // A table without devices (only possible in a file made elsewhere) gets one default device,
    // so that a device is always selected; the document then differs from the file.
    const bool addedDefault = !ListsAnyDevice(devices_.Location());
    if (addedDefault) AddDevice(-1);
    SelectDevice(devices_.RebuildPresentTable());
    SetModifiedFlag(addedDefault);
    Ui().DocumentReloaded();
    return 1;
}

int CQ7310Doc::SaveLocation(const std::string& path) {
    if (editingStarted_ && devices_.PresetModified() &&
        AskQuestion(Ui(), kMsgSavePreset, ButtonSet::YesNo) == UiAnswer::Yes) {
        StorePreset();
    }
    const PauseResult pause = bus_.PauseWorker(true);
    if (!pause.ok) return 0;
    const bool saved = session_.Save(path, [this] {
        if (IsOnline()) UploadAllDevices();
        return std::span<const uint8_t>(devices_.Location().Data(),
                                        UsedLength(devices_.Location()));
    });
    bus_.ResumeWorker(pause.saved);
    if (!saved) return 0;
    SetModifiedFlag(false);
    UpdateRecoveryNote();  // the path may have changed
    return 1;
}

void CQ7310Doc::CloseLocation() {
    App().SetOnline(0);
    UnmapWorkingCopy();
    session_.SetPath({});
    SetModifiedFlag(false);
}

void CQ7310Doc::ClearLocation() {
    bus_.SetSyncLive(false);
    if (bus_.CloseLink()) devices_.ClearPresent();
}

}  // namespace arvestra
