// CQ7310Doc: construction, storage, lookups over the address table, the chain lists and the
// worker's side of the edit state.
#include "document/CQ7310Doc.h"

#include <algorithm>

#include "document/WorkingCopy.h"
#include "link/SystemSerialPortFactory.h"
#include "model/RoutingPlan.h"

namespace arvestra {

CQ7310Doc::CQ7310Doc(ErrorReporter& reporter, Clock& clock)
    : CQ7310Doc(reporter, clock, SystemSerialPortFactory::Instance()) {}

CQ7310Doc::CQ7310Doc(ErrorReporter& reporter, Clock& clock, SerialPortFactory& factory)
    : reporter_(reporter),
      clock_(clock),
      session_(reporter),
      devices_(reporter.App()),
      bus_(reporter, clock, factory, *this, [this] { return HasDirtyRange(); }) {}

// ---- Storage ---------------------------------------------------------------------------------

void CQ7310Doc::AttachStorage(std::span<uint8_t, kLocationSize> bytes) {
    std::lock_guard<std::mutex> lock(dirtyLock);
    devices_.Attach(bytes);
    model.unbind();
    dirtyFirst = 255;
    dirtyLast = 0;
    chains_ = {};
    EndEditHistory("another location was loaded");
}

void CQ7310Doc::DetachStorage() {
    std::lock_guard<std::mutex> lock(dirtyLock);
    devices_.Detach();
    model.unbind();
    dirtyFirst = 255;
    dirtyLast = 0;
    chains_ = {};
    EndEditHistory("another location was loaded");
}

void CQ7310Doc::FormatEmptyLocation() {
    std::lock_guard<std::mutex> lock(dirtyLock);
    devices_.FormatEmpty();
    model.unbind();
    chains_ = {};
    EndEditHistory("another location was loaded");
}

// ---- Selection and lookup ----------------------------------------------------------------

void CQ7310Doc::BindDevice(int address, bool moveLink) {
    bus_.FollowDevice(address, moveLink);
    std::lock_guard<std::mutex> lock(dirtyLock);
    const int slot = devices_.MakeCurrent(address);
    if (slot == kNoDevice) {
        model.unbind();
    } else {
        model.rebind(devices_.Location().Image(slot, 0), 0);
    }
}

void CQ7310Doc::BindImage(int image) {
    std::lock_guard<std::mutex> lock(dirtyLock);
    if (devices_.CurrentSlot() == kNoDevice || image < 0 || image >= kImageCount) return;
    model.rebind(devices_.Location().Image(devices_.CurrentSlot(), 0), image);
}

void CQ7310Doc::SelectDevice(int address) {
    if (address < 0 || address >= kAddressCount) return;
    const PauseResult pause = bus_.PauseWorker(true);
    bool sent = true;
    if (pause.ok) {
        // Edits still pending belong to the device being left: send them to it first, to its
        // own address (a scan moves the link's address without selecting a device).
        bus_.Link().SetAddress(devices_.CurrentAddress());
        sent = bus_.FlushDirty() != 0;
    } else {
        ClearDirtyRange();
    }
    // After a time-out the worker may still be inside an exchange that a retry repeats with the
    // link's address: the old device's bytes must not go to this one. The link then follows the
    // selection at the next pause that finds the worker idle.
    BindDevice(address, pause.ok);
    RecordChains();
    if (pause.ok && sent) bus_.ResumeWorker(pause.saved);
}

int CQ7310Doc::EditDevice(int address) {
    SelectDevice(address);
    if (IsOnline()) {
        if (!ReadDeviceInfo()) return 0;
        if (!ReadImage(0)) return 0;
    }
    editingStarted_ = true;
    return 1;
}

int CQ7310Doc::EditDeviceInSlot(int slot) {
    return EditDevice(devices_.AddressOfSlot(slot));
}

bool CQ7310Doc::IsKindConfigured(int code) const {
    const int slots = FieldInfo(ParamField::ChainSlot).indexCount;
    for (int s = 0; s < slots; ++s) {
        if (model.Get(ParamField::ChainSlot, kChannelA, s) == code) return true;
    }
    return false;
}

// ---- Chains ------------------------------------------------------------------------------

bool CQ7310Doc::ChainHoldsNode(int channel, int node) const {
    if (channel != kChannelA && channel != kChannelB) return false;
    const auto& chain = chains_[static_cast<std::size_t>(channel)];
    return std::find(chain.begin(), chain.end(), node) != chain.end();
}

bool CQ7310Doc::ChainHoldsKind(int channel, int code) const {
    return code != 0 && ChainHoldsNode(channel, code + 2);
}

void CQ7310Doc::SetChainNode(int channel, int i, int node) {
    if (channel != kChannelA && channel != kChannelB) return;
    if (i < 0 || i >= kChainLength) return;
    std::lock_guard<std::mutex> lock(dirtyLock);
    chains_[static_cast<std::size_t>(channel)][static_cast<std::size_t>(i)] = node;
}

int CQ7310Doc::GetChainNode(int channel, int i) const {
    if (channel != kChannelA && channel != kChannelB) return 0;
    if (i < 0 || i >= kChainLength) return 0;
    return chains_[static_cast<std::size_t>(channel)][static_cast<std::size_t>(i)];
}

void CQ7310Doc::ClearChains() {
    std::lock_guard<std::mutex> lock(dirtyLock);
    chains_ = {};
}

void CQ7310Doc::RecordChains() {
    std::array<std::array<int, kChainLength>, 2> walked{};
    for (int out = 0; out < 2; ++out) {
        auto& chain = walked[static_cast<std::size_t>(out)];
        int node = 18 + out;
        chain[0] = node;
        // Every node after the output is where the previous one takes its signal from; the walk
        // ends at a signal source, at a node without a source field, or when the list is full.
        for (int i = 1; i < kChainLength && !IsSignalSourceNode(node); ++i) {
            const std::optional<SourceField> source = SourceFieldOf(node);
            if (!source) break;
            node = model.Get(source->field, source->channel);
            if (node == 0) break;
            chain[static_cast<std::size_t>(i)] = node;
        }
    }
    std::lock_guard<std::mutex> lock(dirtyLock);
    chains_ = walked;
}

bool CQ7310Doc::AnyIndicatorLit(int channel) const {
    if (channel != kChannelA && channel != kChannelB) return false;
    const auto& chain = chains_[static_cast<std::size_t>(channel)];
    return IndicatorLit(bus_.Meters().indicatorBits, MembershipFromNodes(chain));
}

// ---- Worker side ---------------------------------------------------------------------------

DirtyChunk CQ7310Doc::TakeDirtyRange() {
    DirtyChunk chunk;
    std::lock_guard<std::mutex> lock(dirtyLock);
    const int first = dirtyFirst;
    const int last = dirtyLast;
    dirtyFirst = 255;
    dirtyLast = 0;
    if (last < first || !model.isBound()) return chunk;
    chunk.first = first;
    chunk.count = last - first + 1;
    // The range covers the whole 256-byte slot; the parameter view only reaches its first 250
    // bytes, so the bytes are copied from the slot itself.
    const uint8_t* slot = model.firstSlot() + model.slotIndex() * kImageSlotSize;
    std::copy_n(slot + first, chunk.count, chunk.bytes.begin());
    return chunk;
}

StatusInputs CQ7310Doc::ReadStatusInputs() {
    StatusInputs inputs;
    std::lock_guard<std::mutex> lock(dirtyLock);
    for (std::size_t ch = 0; ch < 2; ++ch) inputs.chains[ch] = MembershipFromNodes(chains_[ch]);
    inputs.outputLevelA = static_cast<uint8_t>(model.Get(ParamField::OutputLevel, kChannelA));
    inputs.outputLevelB = static_cast<uint8_t>(model.Get(ParamField::OutputLevel, kChannelB));
    return inputs;
}

}  // namespace arvestra
