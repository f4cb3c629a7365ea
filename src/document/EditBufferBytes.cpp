// The edit buffer's binding, raw byte writes, dirty range and announcements.
#include <algorithm>

#include "document/EditBuffer.h"

namespace arvestra {

EditBuffer::EditBuffer(std::function<bool()> live, ChangeHook changed)
    : live_(std::move(live)), changed_(std::move(changed)) {}

// ---- Binding ---------------------------------------------------------------------------------

void EditBuffer::Bind(uint8_t* firstSlot, int image, int address) {
    // Changes gathered so far belong to the image they were made on.
    Flush();
    std::lock_guard<std::mutex> lock(lock_);
    address_ = address;
    view_.rebind(firstSlot, image);
}

void EditBuffer::BindImage(int image) {
    if (!view_.isBound() || image < 0 || image >= kImageCount) return;
    Flush();
    std::lock_guard<std::mutex> lock(lock_);
    view_.rebind(view_.firstSlot(), image);
}

void EditBuffer::Unbind() {
    Flush();
    std::lock_guard<std::mutex> lock(lock_);
    view_.unbind();
    address_ = 0;
}

// ---- Raw bytes -------------------------------------------------------------------------------

void EditBuffer::RestoreByte(int offset, uint8_t value) {
    if (offset < 0 || offset >= static_cast<int>(kPresetImageSize)) return;
    const EditBatch batch(*this);
    {
        std::lock_guard<std::mutex> lock(lock_);
        if (!view_.isBound() || view_.byteAt(offset) == value) return;
        const auto before = static_cast<uint8_t>(view_.byteAt(offset));
        view_.setByteAt(offset, value);
        // Marked after the write and under the same lock, as every block operation does.
        MarkLocked(offset);
        Record(offset, before, value);
    }
    FlagChange(true);
}

bool EditBuffer::LoadImage(std::span<const uint8_t, kPresetImageSize> bytes) {
    const EditBatch batch(*this);
    std::lock_guard<std::mutex> lock(lock_);
    if (!view_.isBound()) return false;
    bool differed = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int offset = static_cast<int>(i);
        const auto before = static_cast<uint8_t>(view_.byteAt(offset));
        if (before == bytes[i]) continue;
        view_.setByteAt(offset, bytes[i]);
        Record(offset, before, bytes[i]);
        differed = true;
    }
    return differed;
}

bool EditBuffer::CopyBytes(int first, int count, uint8_t* out) const {
    if (first < 0 || count < 0 || first + count > static_cast<int>(kImageSlotSize)) return false;
    std::lock_guard<std::mutex> lock(lock_);
    if (!view_.isBound()) return false;
    // The whole 256-byte slot: the parameter view reaches only its first 250 bytes.
    const uint8_t* slot = view_.firstSlot() + view_.slotIndex() * kImageSlotSize;
    std::copy_n(slot + first, count, out);
    return true;
}

// ---- Dirty range -------------------------------------------------------------------------------

int EditBuffer::MarkDirty(uint8_t offset) {
    std::lock_guard<std::mutex> lock(lock_);
    dirtyFirst_ = std::min(dirtyFirst_, offset);
    dirtyLast_ = std::max(dirtyLast_, offset);
    return 1;
}

std::pair<uint8_t, uint8_t> EditBuffer::DirtyRange() const {
    std::lock_guard<std::mutex> lock(lock_);
    return {dirtyFirst_, dirtyLast_};
}

bool EditBuffer::DirtyRangeEmpty() const {
    std::lock_guard<std::mutex> lock(lock_);
    return dirtyLast_ < dirtyFirst_;
}

void EditBuffer::ClearDirtyRange() {
    std::lock_guard<std::mutex> lock(lock_);
    dirtyFirst_ = 255;
    dirtyLast_ = 0;
}

DirtyChunk EditBuffer::TakeDirtyRange() {
    DirtyChunk chunk;
    std::lock_guard<std::mutex> lock(lock_);
    const int first = dirtyFirst_;
    const int last = dirtyLast_;
    dirtyFirst_ = 255;
    dirtyLast_ = 0;
    if (last < first || !view_.isBound()) return chunk;
    chunk.first = first;
    chunk.count = last - first + 1;
    const uint8_t* slot = view_.firstSlot() + view_.slotIndex() * kImageSlotSize;
    std::copy_n(slot + first, chunk.count, chunk.bytes.begin());
    return chunk;
}

// ---- Announcements -----------------------------------------------------------------------------

EditListenerId EditBuffer::Listen(EditListener listener) {
    const EditListenerId id = nextListener_++;
    listeners_.emplace(id, std::move(listener));
    return id;
}

void EditBuffer::Unlisten(EditListenerId id) {
    listeners_.erase(id);
}

void EditBuffer::EndHistory(const char* why) {
    Flush();
    ++historyEpoch_;
    historyReason_ = why;
    EditEvent event;
    event.reason = batchDepth_ > 0 ? batchReason_ : EditReason::Page;
    event.address = address_;
    event.image = view_.isBound() ? view_.slotIndex() : 0;
    event.replaced = true;
    event.why = why;
    Notify(event);
}

void EditBuffer::BeginBatch(EditReason reason, bool explicitReason) {
    if (batchDepth_++ == 0) {
        batchReason_ = explicitReason ? reason : EditReason::Page;
        batchReasonGiven_ = explicitReason;
    } else if (explicitReason && !batchReasonGiven_) {
        batchReason_ = reason;
        batchReasonGiven_ = true;
    }
}

void EditBuffer::EndBatch() {
    if (--batchDepth_ == 0) Flush();
}

void EditBuffer::Record(int offset, uint8_t before, uint8_t after) {
    for (ByteChange& change : pending_) {
        if (change.offset == offset) {
            change.after = after;
            return;
        }
    }
    pending_.push_back({offset, before, after});
}

void EditBuffer::Flush() {
    if (pending_.empty()) return;
    EditEvent event;
    event.reason = batchReason_;
    event.address = address_;
    event.image = view_.slotIndex();
    event.changes.swap(pending_);
    // A byte written and put back within one operation is no change.
    std::erase_if(event.changes, [](const ByteChange& c) { return c.before == c.after; });
    if (!event.changes.empty()) Notify(event);
}

void EditBuffer::Notify(const EditEvent& event) {
    // A listener may add or remove listeners: those called are the ones present now and still
    // present when their turn comes.
    std::vector<EditListenerId> ids;
    ids.reserve(listeners_.size());
    for (const auto& entry : listeners_) ids.push_back(entry.first);
    for (const EditListenerId id : ids) {
        const auto found = listeners_.find(id);
        if (found == listeners_.end()) continue;
        const EditListener listener = found->second;
        listener(event);
    }
}

const char* EditReasonName(EditReason reason) {
    switch (reason) {
        case EditReason::Page:
            return "page";
        case EditReason::Cli:
            return "command line";
        case EditReason::Import:
            return "import";
        case EditReason::Copy:
            return "copy";
        case EditReason::Remote:
            return "remote";
        case EditReason::Osc:
            return "OSC";
        case EditReason::Fit:
            return "equaliser fit";
        case EditReason::Undo:
            return "undo";
        case EditReason::Redo:
            return "redo";
        case EditReason::CompareSwap:
            return "A/B compare";
        case EditReason::DeviceRead:
            return "device read-back";
        case EditReason::DeviceSetup:
            return "new device";
    }
    return "edit";
}

}  // namespace arvestra
