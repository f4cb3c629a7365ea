// The location document: the devices installed at one place, each with its address, name,
// firmware numbers, bypass flags and nine parameter images, kept in the 528,638 bytes of a
// location (an in-memory buffer until a Location File's working copy is attached). It tracks
// the device and preset being edited, owns the serial link and the synchronisation worker, and
// offers every parameter operation the editing pages use.
//
// Threads: everything runs on the user-interface thread except the worker, which reaches the
// document only through ISyncTarget. The edit buffer is written, and the dirty range widened,
// under dirtyLock; the worker copies what it sends under the same lock.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/Clock.h"
#include "app/ErrorReporter.h"
#include "document/BusSession.h"
#include "document/DeviceTable.h"
#include "document/LocationImage.h"
#include "document/LocationLayout.h"
#include "document/LocationSession.h"
#include "link/SerialPortFactory.h"
#include "link/SyncTarget.h"
#include "model/ParamField.h"
#include "model/PresetImageView.h"

namespace arvestra {

// Chain lists: per channel the output node followed by the nodes up to the source.
inline constexpr int kChainLength = 12;

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

class CQ7310Doc : public ISyncTarget {
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
    const DeviceTable& Devices() const { return devices_; }
    // The link, the worker and the meters.
    BusSession& Bus() { return bus_; }
    const BusSession& Bus() const { return bus_; }
    AppState& App() { return reporter_.App(); }
    UiPort& Ui() { return reporter_.Ui(); }
    // True while the application is online.
    bool IsOnline() const { return reporter_.App().IsOnline() != 0; }

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

    // Widens the dirty range by one byte offset of the edit buffer; always 1.
    int MarkDirty(uint8_t offset);
    // The dirty range as (first, last); empty when last < first.
    std::pair<uint8_t, uint8_t> DirtyRange() const;
    // Under the dirty lock: the bytes of the dirty range, which is emptied (the worker's take).
    DirtyChunk TakeDirtyRange() override;
    // Under the dirty lock: the chain memberships and output levels the status decode reads.
    StatusInputs ReadStatusInputs() override;

    // ---- Block parameter operations -----------------------------------------------------------

    // A field of the current image (channel 0 A, other B; index for arrays).
    int Get(ParamField field, int channel = kChannelA, int index = 0) const;
    // Sets a field through its family: linked, per channel, routing or configuration.
    void Set(ParamField field, int channel, int index, long long value);
    void Set(ParamField field, int channel, long long value) { Set(field, channel, 0, value); }
    // Linked write: channel A before B when the block is linked; unchanged channels untouched.
    void SetLinked(ParamField field, int channel, int index, long long value);
    // Only the given channel (0 or 1); master flags, levels, compressor/limiter link fields.
    void SetPerChannel(ParamField field, int channel, long long value);
    // Source node of a block or an output (0..17); marks but sets no flag.
    void SetRouting(ParamField field, int channel, long long node);
    // A configuration field (index where it is an array).
    void SetConfig(ParamField field, int index, long long value);
    // True when the master flag of the block of `field` is set on channel A or B.
    bool IsLinked(FieldBlock block) const;

    // "Master" button: sets the flag, copies the block when set, and for the compressor/limiter
    // recomputes its link fields.
    void SetMasterWithCopy(FieldBlock block, int channel, int value);
    // Copies every copied field of a block from `sourceChannel` to the other channel.
    void CopyBlockToOtherChannel(FieldBlock block, int sourceChannel);
    // Compressor/limiter link fields from the two master flags.
    void UpdateCompLimLinkFields();
    // Limits every field of an image read from a device, applies the links, drops invalid codes.
    void CheckImageAfterRead();
    // Block defaults through the operations, for both channels.
    void ApplyConfigurationDefaults();
    void ApplyEqualiserDefaults();
    void ApplyLowPassDefaults();
    void ApplyHighPassDefaults();
    void ApplyDelayDefaults();
    void ApplyCompLimiterDefaults();
    // Fills all nine images of the current record as a new device holds them; 0 when a preset
    // name could not be sent (online), 1 otherwise.
    int InitialiseDeviceImages();

    // 24-bit delay of a channel; setting limits it to 0..65536 and writes low, middle, high.
    int GetDelaySamples(int channel) const;
    void SetDelaySamples(int channel, long long samples);
    // Temperature in tenths of a degree F; setting limits to 0..1500, writes low then high.
    int GetTemperatureTenths(int channel) const;
    void SetTemperatureTenths(int channel, long long tenths);
    // A new temperature that keeps the delay's distance: the samples are recomputed from the
    // distance at the old temperature, and all five bytes go to the device together.
    void SetTemperatureKeepingDistance(int channel, long long tenths);
    // A delay typed as a distance, converted at the channel's stored temperature.
    void SetDelayFeet(int channel, double feet);
    void SetDelayMetres(int channel, double metres);

    // Page shortcuts.
    void FlatGraphic(int channel);
    void FlatParametric(int channel);
    void NarrowGraphicBandwidth(int channel);
    void WideGraphicBandwidth(int channel);
    void DelayDefaultSettings(int channel);
    // Flips a flag (bypass buttons); index for the parametric band bypass.
    void ToggleFlag(ParamField field, int channel, int index = 0);

    // ---- Edit history ------------------------------------------------------------------------

    // Writes one raw byte of the current image as a block operation writes a field: under the
    // lock, marked for sending while live, flags set. Undo and redo replay recorded bytes here.
    void RestoreImageByte(int offset, uint8_t value);
    // Counts the times the edit buffer was replaced whole or the device list changed (recall,
    // store, read from a device, add, delete, new address, another location): edits recorded
    // before such a change no longer apply. The reason names the latest.
    std::uint64_t HistoryEpoch() const { return historyEpoch_; }
    const char* HistoryEpochReason() const { return historyReason_; }
    void EndEditHistory(const char* reason) {
        ++historyEpoch_;
        historyReason_ = reason;
    }

    // ---- Location model -------------------------------------------------------------------

    // Makes `address` the device being edited (pauses, sends pending edits of the device
    // being left, then switches link address and images); records the chains.
    void SelectDevice(int address);
    // SelectDevice, and online its information and edit buffer are read; 1 on success.
    int EditDevice(int address);
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
    bool AnyIndicatorLit(int channel) const;

    // The current image's bytes (the edit buffer unless a record is being created).
    uint8_t* CurrentImage() { return model.data(); }

    // Editing operations; 1 on success, 0 on failure.
    int SetDeviceName(std::string_view name, int address);
    int SetDeviceName(std::string_view name);
    int SetPresetName(std::string_view name);
    int RecallPreset(int preset, bool readBack);
    int StorePreset();
    int RecallPresetOnAllDevices(int preset);
    int SetBypassA(int on);
    int SetBypassB(int on);
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

    PresetImageView model;

  private:
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
    void ClearDirtyRange();
    // Makes image 0..8 of the current record the current image.
    void BindImage(int image);
    // CMD_WRITE_IMAGE of bytes 0..249 of image `image` of the current record as `imageNumber`.
    int SendStoredImage(int image, int imageNumber);
    // Names image 0..8 of the current record and, through the name operations, the current
    // image; online the name is sent as image `image`. presetModified is kept.
    int NameImage(int image, std::string_view name);
    // Copies 256 bytes between two images of the current record (under the lock).
    void CopyImage(int from, int to);
    // Writes one byte field of the current image under the lock and marks it when live.
    bool WriteField(ParamField field, int channel, int index, int value);
    // The same with dirtyLock already held by the caller.
    bool WriteFieldLocked(ParamField field, int channel, int index, int value);
    // One field value of a value kept in several fields (a delay, a temperature).
    struct FieldWrite {
        ParamField field;
        long long value;
    };
    // Linked write of several fields under one hold of dirtyLock, so the worker takes all of
    // them (both channels when linked) or none: a multi-byte value never reaches the device
    // half written.
    void SetLinkedTogether(std::initializer_list<FieldWrite> writes, int channel);
    // presetModified and the document's modified flag after a change.
    void FlagChange(bool presetToo);
    // Names, bypass flags, the nine images and the recall of preset 1 of a device just entered
    // in the table; 0 after a failed exchange.
    int SetUpNewDevice();
    // Stores one bypass flag (record field kRecBypassA or kRecBypassB) of the current record and
    // sends both flags.
    int SetBypassFlag(std::size_t recordField, int on);
    // Limits every field of images 0..8 of the current record to its range (before a download).
    void LimitStoredImages();
    // Waits until the device reports `preset` or a second has passed.
    int WaitForDevicePreset(int preset);

    ErrorReporter& reporter_;
    std::atomic<bool> modified_{false};
    bool editingStarted_ = false;
    Clock& clock_;
    LocationSession session_;
    mutable std::mutex dirtyLock;
    uint8_t dirtyFirst = 255;
    uint8_t dirtyLast = 0;
    DeviceTable devices_;
    std::array<std::array<int, kChainLength>, 2> chains_{};
    std::uint64_t historyEpoch_ = 0;
    const char* historyReason_ = "";
    // Last: the worker stops before anything it reads goes away.
    BusSession bus_;
};

}  // namespace arvestra
