// The location document: the devices installed at one place, each with its address, name,
// firmware numbers, bypass flags and nine parameter images, kept in the 528,638 bytes of a
// location (an in-memory buffer until a Location File's working copy is attached). It tracks
// the device and preset being edited, owns the serial link and the synchronisation worker, and
// runs what spans its parts (select, recall, store, go online, discover). The editing pages see
// it only as an IPageDocument, the remote page and OSC as an IRemoteControl.
//
// Threads: everything runs on the user-interface thread except the worker, which reaches the
// document only through ISyncTarget. The edit buffer (EditBuffer) is written, and the dirty
// range widened, under its lock; the worker copies what it sends under the same lock.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/Clock.h"
#include "app/ErrorReporter.h"
#include "document/BusSession.h"
#include "document/DeviceTable.h"
#include "document/DocumentMessages.h"
#include "document/EditBuffer.h"
#include "document/LocationImage.h"
#include "document/LocationLayout.h"
#include "document/LocationSession.h"
#include "document/PageDocument.h"
#include "document/RemoteControl.h"
#include "link/SerialPortFactory.h"
#include "link/SyncTarget.h"
#include "model/ParamField.h"
#include "model/PresetImageView.h"

namespace arvestra {

// Chain lists: per channel the output node followed by the nodes up to the source.
inline constexpr int kChainLength = 12;

// The editing pages see the document as an IPageDocument and the remote controls as an
// IRemoteControl, each only what it uses; the document's own window and the tools see it whole.
class CQ7310Doc : public ISyncTarget, public IPageDocument, public IRemoteControl {
  public:
    // A document over the real serial ports.
    CQ7310Doc(ErrorReporter& reporter, Clock& clock);
    // A document whose link makes its ports with `factory` (tests, the simulator over TCP).
    CQ7310Doc(ErrorReporter& reporter, Clock& clock, SerialPortFactory& factory);

    // Makes the current storage an empty location (no devices).
    void FormatEmptyLocation();

    // ---- Ports -----------------------------------------------------------------------------

    // The address table, the device records, which devices are present and which is edited.
    DeviceTable& Devices() { return devices_; }
    const DeviceTable& Devices() const override { return devices_; }
    // The link, the worker and the meters.
    BusSession& Bus() { return bus_; }
    const BusSession& Bus() const { return bus_; }
    AppState& App() { return reporter_.App(); }
    UiPort& Ui() { return reporter_.Ui(); }
    // True while the application is online.
    bool IsOnline() const override { return reporter_.App().IsOnline() != 0; }

    // ---- Framework steps (the GUI wraps them) ------------------------------------------------

    // Sets or clears the document's modified flag.
    void SetModifiedFlag(bool on = true) {
        if (modified_.exchange(on) != on) UpdateRecoveryNote();
    }
    bool IsModified() const { return modified_.load(); }
    // Set once a location was made or a device opened for editing: from then on a modified
    // preset is offered for saving before it is replaced.
    bool EditingStarted() const { return editingStarted_; }
    void SetEditingStarted(bool started) { editingStarted_ = started; }

    // ---- Edit state ---------------------------------------------------------------------------

    // Under the edit buffer's lock: the bytes of the dirty range, which is emptied (the
    // worker's take).
    DirtyChunk TakeDirtyRange() override { return edits_.TakeDirtyRange(); }
    // Under the chains' lock: the chain memberships and output levels the status decode reads.
    StatusInputs ReadStatusInputs() override;

    // ---- Edit buffer ---------------------------------------------------------------------------

    // The image being edited and every operation that writes it (see EditBuffer): the block
    // operations, the dirty range, the announcements and the end of the undo history.
    EditBuffer& Edits() override { return edits_; }
    const EditBuffer& Edits() const override { return edits_; }

    // Fills all nine images of the current record as a new device holds them; 0 when a preset
    // name could not be sent (online), 1 otherwise.
    int InitialiseDeviceImages();

    // ---- Location model -------------------------------------------------------------------

    // Makes `address` the device being edited (pauses, sends pending edits of the device
    // being left, then switches link address and images); records the chains.
    void SelectDevice(int address) override;
    // SelectDevice, and online its information and edit buffer are read; 1 on success.
    int EditDevice(int address) override;
    int EditDeviceInSlot(int slot);
    // True when a chain slot of the current image holds the block code.
    bool IsKindConfigured(int code) const;

    bool ChainHoldsNode(int channel, int node) const;
    bool ChainHoldsKind(int channel, int code) const;
    void SetChainNode(int channel, int i, int node);
    int GetChainNode(int channel, int i) const;
    void ClearChains();
    // Walks each output's sources in the current image and records the two chain lists.
    void RecordChains();
    // The indicator lamp rule for a channel.
    bool AnyIndicatorLit(int channel) const override;

    // Editing operations; 1 on success, 0 on failure.
    int SetDeviceName(std::string_view name, int address);
    int SetDeviceName(std::string_view name);
    int SetPresetName(std::string_view name);
    int RecallPreset(int preset, bool readBack);
    int StorePreset();
    int RecallPresetOnAllDevices(int preset);
    // Sets a channel's bypass flag of the current device and sends both flags; 1 on success.
    int SetBypass(int channel, bool on) override;
    // The address of the new device, or -1 when no address or slot is free.
    int AddDevice(int address = -1);
    int DeleteDevice(int address);
    int ChangeDeviceAddress(int oldAddress, int newAddress);
    int ReadDeviceInfo();
    int ReadImage(int image);
    int UploadDevice();
    int UploadAllDevices();
    int DownloadDevice();
    // CMD_WRITE_IMAGE of image 0..8 of the current record as that image number (the edit
    // buffer live, a preset stored); 1 on success.
    int SendImage(int image);
    // Online only: the device restores its factory settings and is read back; offline it does
    // nothing and returns 0 (there is no device to reset and nothing may be lost).
    int FactoryInitialise();

    // ---- Location File and discovery ----------------------------------------------------------

    // The Location File's path, working copy and recovery note.
    LocationSession& Session() { return session_; }
    const LocationSession& Session() const { return session_; }
    int NewLocation();
    int OpenLocation(const std::string& path);
    int SaveLocation(const std::string& path);
    void CloseLocation();
    int Discover(bool reconcile);
    int DownloadToDevices();
    // Opens a working copy left behind by an editor that no longer runs, as a modified
    // document whose path is originalPath; 0 when the copy is not a readable location.
    int RecoverLocation(const std::string& copyPath, const std::string& originalPath);
    // ---- Document state ---------------------------------------------------------------------

  private:
    // ---- Reached only through IPageDocument and IRemoteControl ----------------------------------

    // The last meters the worker polled.
    MeterRecord Meters() const override { return bus_.Meters(); }
    void NotifyViewsOfChange() override { Ui().DocumentChanged(); }
    EditListenerId ListenToEdits(EditListener listener) override {
        return edits_.Listen(std::move(listener));
    }
    void StopListeningToEdits(EditListenerId id) override { edits_.Unlisten(id); }
    // Applies edits to the current device through the one edit path (see ApplyDocumentEdits).
    bool ApplyEdits(std::span<const ParamEdit> edits, EditReason reason) override;
    // Derives the sources from the chains (see UpdateRouting); 1 on success.
    int DeriveRouting() override;
    // What a remote control's recall and store do (see IRemoteControl).
    int RecallPresetDiscardingEdits(int preset) override;
    StoreOutcome StorePresetAs(int preset, std::optional<std::string_view> latin1Name) override;

    // Works on these 528,638 bytes from now on (the mapped working copy). No device is selected
    // afterwards and the dirty range is empty; the caller selects the first device.
    void AttachStorage(std::span<uint8_t, kLocationSize> bytes);
    // Goes back to the document's own in-memory buffer (before the attached bytes go away).
    void DetachStorage();

    // ISyncTarget: what the worker reads and hands back.
    bool IsSyncLive() const override { return bus_.IsSyncLive(); }
    bool IsStatusPolling() const override { return bus_.IsStatusPolling(); }
    void StoreMeters(const MeterRecord& meters) override { bus_.StoreMeters(meters); }
    void PostMeterRefresh() override { bus_.PostMeterRefresh(); }
    // True while a dirty range waits for the worker.
    bool HasDirtyRange() const;
    // CMD_WRITE_IMAGE with bytes first..last of the current image as image number n.
    int WriteImageRange(int first, int last, int imageNumber);

    // A fresh working copy of `path` (empty: a new location) becomes the document's storage.
    int MapWorkingCopy(const std::string& path);
    void UnmapWorkingCopy();
    // Takes the link off the bus and forgets which devices were on it.
    void ClearLocation();
    // Rewrites the recovery note with the document's modified flag.
    void UpdateRecoveryNote();

    // Binds link address, model and current slot to an address (no pause, no traffic); another
    // device's reported preset is forgotten (devicePreset = 0). The link's address stays when
    // moveLink is false.
    void BindDevice(int address, bool moveLink = true);
    // Empties the dirty range (its edits will never be sent).
    void ClearDirtyRange() { edits_.ClearDirtyRange(); }
    // Makes image 0..8 of the current record the current image.
    void BindImage(int image);
    // CMD_WRITE_IMAGE of bytes 0..249 of image `image` of the current record as `imageNumber`.
    int SendStoredImage(int image, int imageNumber);
    // Names image 0..8 of the current record and, through the name operations, the current
    // image; online the name is sent as image `image`. presetModified is kept.
    int NameImage(int image, std::string_view name);
    // Copies 256 bytes between two images of the current record (under the lock).
    void CopyImage(int from, int to);
    // The bound image's 250 bytes, copied under the edit buffer's lock.
    std::array<uint8_t, kPresetImageSize> CurrentImageBytes() const;
    // Records the chains again when an edit changed a source node (undo, A/B, a remote edit).
    void FollowSourceEdits(const EditEvent& event);
    // Names, bypass flags, the nine images and the recall of preset 1 of a device just entered
    // in the table; 0 after a failed exchange.
    int SetUpNewDevice();
    // Limits every field of images 0..8 of the current record to its range (before a download).
    void LimitStoredImages();
    // Waits until the device reports `preset` or a second has passed.
    int WaitForDevicePreset(int preset);

    ErrorReporter& reporter_;
    std::atomic<bool> modified_{false};
    bool editingStarted_ = false;
    Clock& clock_;
    LocationSession session_;
    DeviceTable devices_;
    EditBuffer edits_;
    // Guards the chain lists, which the worker reads for the status decode.
    mutable std::mutex chainsLock_;
    std::array<std::array<int, kChainLength>, 2> chains_{};
    // Last: the worker stops before anything it reads goes away.
    BusSession bus_;
};

}  // namespace arvestra
