// The edit buffer: the image being edited (normally image 0 of the device being edited) and
// everything that writes it. Every parameter edit goes through its block operations: clamp,
// compare, write, apply the channel link ("Master"), mark the byte for sending while live,
// raise the modified flags, and afterwards tell the listeners which bytes changed and why.
//
// Threads: the operations run on the user-interface thread. The synchronisation worker reads
// the buffer only through TakeDirtyRange and CopyBytes; writes and marks happen under the same
// lock, so the worker never sends half an edit. Listeners are called on the editing thread,
// after the change and outside the lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <span>
#include <utility>
#include <vector>

#include "document/EditEvent.h"
#include "document/LocationLayout.h"
#include "link/SyncTarget.h"
#include "model/ParamField.h"
#include "model/PresetImage.h"
#include "model/PresetImageView.h"

namespace arvestra {

class EditBuffer {
  public:
    // Called after a value changed: presetToo says whether the preset counts as modified too
    // (the equaliser's Master flag and byte 195 change the document only).
    using ChangeHook = std::function<void(bool presetToo)>;

    // A buffer whose writes are marked for sending while `live` is on.
    EditBuffer(std::function<bool()> live, ChangeHook changed);
    EditBuffer(const EditBuffer&) = delete;
    EditBuffer& operator=(const EditBuffer&) = delete;

    // ---- Binding ---------------------------------------------------------------------------

    // Binds to image 0..8 of a record's image area (its first slot) of the device at `address`.
    // Edits still unannounced are announced first, for the image they were made on.
    void Bind(uint8_t* firstSlot, int image, int address);
    // Another image of the same record becomes the one edited.
    void BindImage(int image);
    void Unbind();
    bool IsBound() const { return view_.isBound(); }
    int ImageIndex() const { return view_.slotIndex(); }
    int Address() const { return address_; }
    // The bound image for reading (the view of the parameter map).
    const PresetImageView& View() const { return view_; }
    // The bound image's bytes (null while unbound); write only through the operations.
    uint8_t* Data() { return view_.data(); }
    const uint8_t* Data() const { return view_.data(); }

    // ---- Block parameter operations ----------------------------------------------------------

    // A field of the bound image (channel 0 A, other B; index for arrays).
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
    struct RoutingWrite {
        ParamField field;
        int channel;
        long long node;
    };
    // Several source nodes under one hold of the lock, so the worker sends them in one write:
    // the device never runs with one of them moved and the others not yet.
    void SetRoutingTogether(std::span<const RoutingWrite> writes);
    // A configuration field (index where it is an array).
    void SetConfig(ParamField field, int index, long long value);
    // True when the master flag of the block is set on channel A or B.
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

    // ---- Raw bytes ---------------------------------------------------------------------------

    // Writes one byte as a block operation writes a field: under the lock, marked while live,
    // flags raised. Undo, redo and A/B replay recorded bytes here.
    void RestoreByte(int offset, uint8_t value);
    // Puts bytes read from a device into the bound image: nothing is marked and no flag is
    // raised (the device holds them already). True when any byte differed.
    bool LoadImage(std::span<const uint8_t, kPresetImageSize> bytes);
    // Copies `count` bytes of the bound image's 256-byte slot from `first` under the lock;
    // false while unbound or out of the slot.
    bool CopyBytes(int first, int count, uint8_t* out) const;
    // Holds the lock that guards the bytes and the dirty range, for a caller that copies whole
    // images of the record (a recall, a store).
    std::unique_lock<std::mutex> Hold() const { return std::unique_lock<std::mutex>(lock_); }

    // ---- Dirty range (what the worker sends)
    // -----------------------------------------------------

    // Widens the dirty range by one byte offset; always 1.
    int MarkDirty(uint8_t offset);
    // The dirty range as (first, last); empty when last < first.
    std::pair<uint8_t, uint8_t> DirtyRange() const;
    bool DirtyRangeEmpty() const;
    // Empties the dirty range (its edits will never be sent).
    void ClearDirtyRange();
    // Worker side: takes the pending bytes and empties the range.
    DirtyChunk TakeDirtyRange();

    // ---- Listeners and the history -------------------------------------------------------------

    // Adds a listener; it is told of every change from now on. The id removes it.
    EditListenerId Listen(EditListener listener);
    void Unlisten(EditListenerId id);
    // Announces that the buffer was replaced whole: edits announced before no longer apply.
    void EndHistory(const char* why);
    // Counts the replacements; the reason names the latest.
    std::uint64_t HistoryEpoch() const { return historyEpoch_; }
    const char* HistoryEndReason() const { return historyReason_; }

  private:
    friend class EditScope;
    friend struct EditBatch;

    // Opens a batch of writes announced together; the reason of the outermost one counts.
    void BeginBatch(EditReason reason, bool explicitReason);
    void EndBatch();
    // Announces the changes gathered so far.
    void Flush();
    void Notify(const EditEvent& event);
    // Notes one byte change of the bound image for the next announcement.
    void Record(int offset, uint8_t before, uint8_t after);

    // Writes one field under the lock and marks it when live; false when nothing changed.
    bool WriteField(ParamField field, int channel, int index, int value);
    bool WriteFieldLocked(ParamField field, int channel, int index, int value);
    void MarkLocked(int offset);
    // One field value of a value kept in several fields (a delay, a temperature).
    struct FieldWrite {
        ParamField field;
        long long value;
    };
    // Linked write of several fields under one hold of the lock, so the worker takes all of
    // them (both channels when linked) or none: a multi-byte value never reaches the device
    // half written.
    void SetLinkedTogether(std::initializer_list<FieldWrite> writes, int channel);
    void FlagChange(bool presetToo);

    std::function<bool()> live_;
    ChangeHook changed_;
    mutable std::mutex lock_;
    PresetImageView view_;
    int address_ = 0;
    uint8_t dirtyFirst_ = 255;
    uint8_t dirtyLast_ = 0;

    // Above 0 while writes put back what a device holds: nothing is marked for sending.
    int quiet_ = 0;
    int batchDepth_ = 0;
    EditReason batchReason_ = EditReason::Page;
    bool batchReasonGiven_ = false;
    std::vector<ByteChange> pending_;
    std::map<EditListenerId, EditListener> listeners_;
    EditListenerId nextListener_ = 1;
    std::uint64_t historyEpoch_ = 0;
    const char* historyReason_ = "";
};

// Marks the edits made while it lives as made for one reason, and announces them together when
// it ends (an undo step, a remote command, a whole import). Scopes nest; the outermost counts.
class EditScope {
  public:
    EditScope(EditBuffer& buffer, EditReason reason) : buffer_(buffer) {
        buffer_.BeginBatch(reason, true);
    }
    ~EditScope() { buffer_.EndBatch(); }
    EditScope(const EditScope&) = delete;
    EditScope& operator=(const EditScope&) = delete;

  private:
    EditBuffer& buffer_;
};

// The writes of one of the buffer's own operations, announced together when the outermost
// operation or scope ends.
struct EditBatch {
    explicit EditBatch(EditBuffer& buffer) : buffer_(buffer) {
        buffer_.BeginBatch(EditReason::Page, false);
    }
    ~EditBatch() { buffer_.EndBatch(); }
    EditBatch(const EditBatch&) = delete;
    EditBatch& operator=(const EditBatch&) = delete;

  private:
    EditBuffer& buffer_;
};

}  // namespace arvestra
