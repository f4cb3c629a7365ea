// CQ7310Doc: construction, storage, lookups over the address table, the chain lists and the
// worker's side of the edit state.
#include "document/CQ7310Doc.h"

#include <algorithm>

#include "document/WorkingCopy.h"
#include "link/SystemSerialPortFactory.h"
#include "model/RoutingPlan.h"

namespace arvestra {

namespace {

// True for a byte that holds a source-node field, which the chain lists are walked from.
bool IsSourceByte(int offset) {
    const std::span<const FieldDescriptor> fields = AllFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].role != FieldRole::Source) continue;
        const auto field = static_cast<ParamField>(i);
        if (FieldOffset(field, kChannelA) == offset || FieldOffset(field, kChannelB) == offset) {
            return true;
        }
    }
    return false;
}

}  // namespace

CQ7310Doc::CQ7310Doc(ErrorReporter& reporter, Clock& clock)
    : CQ7310Doc(reporter, clock, SystemSerialPortFactory::Instance()) {}

CQ7310Doc::CQ7310Doc(ErrorReporter& reporter, Clock& clock, SerialPortFactory& factory)
    : reporter_(reporter),
      clock_(clock),
      session_(reporter),
      devices_(reporter.App()),
      edits_([this] { return bus_.IsSyncLive(); },
             [this](bool presetToo) {
                 if (presetToo) devices_.SetPresetModified(true);
                 SetModifiedFlag(true);
             }),
      bus_(reporter, clock, factory, *this, [this] { return HasDirtyRange(); }) {
    edits_.Listen([this](const EditEvent& event) { FollowSourceEdits(event); });
}

// ---- Storage ---------------------------------------------------------------------------------

void CQ7310Doc::AttachStorage(std::span<uint8_t, kLocationSize> bytes) {
    edits_.Unbind();
    {
        const auto hold = edits_.Hold();
        devices_.Attach(bytes);
    }
    edits_.ClearDirtyRange();
    ClearChains();
    edits_.EndHistory("another location was loaded");
}

void CQ7310Doc::DetachStorage() {
    edits_.Unbind();
    {
        const auto hold = edits_.Hold();
        devices_.Detach();
    }
    edits_.ClearDirtyRange();
    ClearChains();
    edits_.EndHistory("another location was loaded");
}

void CQ7310Doc::FormatEmptyLocation() {
    edits_.Unbind();
    {
        const auto hold = edits_.Hold();
        devices_.FormatEmpty();
    }
    ClearChains();
    edits_.EndHistory("another location was loaded");
}

// ---- Selection and lookup ----------------------------------------------------------------

void CQ7310Doc::BindDevice(int address, bool moveLink) {
    bus_.FollowDevice(address, moveLink);
    const int slot = devices_.MakeCurrent(address);
    if (slot == kNoDevice) {
        edits_.Unbind();
    } else {
        edits_.Bind(devices_.Location().Image(slot, 0), 0, devices_.CurrentAddress());
    }
}

void CQ7310Doc::BindImage(int image) {
    if (devices_.CurrentSlot() == kNoDevice || image < 0 || image >= kImageCount) return;
    edits_.BindImage(image);
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
        if (edits_.Get(ParamField::ChainSlot, kChannelA, s) == code) return true;
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
    std::lock_guard<std::mutex> lock(chainsLock_);
    chains_[static_cast<std::size_t>(channel)][static_cast<std::size_t>(i)] = node;
}

int CQ7310Doc::GetChainNode(int channel, int i) const {
    if (channel != kChannelA && channel != kChannelB) return 0;
    if (i < 0 || i >= kChainLength) return 0;
    return chains_[static_cast<std::size_t>(channel)][static_cast<std::size_t>(i)];
}

void CQ7310Doc::ClearChains() {
    std::lock_guard<std::mutex> lock(chainsLock_);
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
            node = edits_.Get(source->field, source->channel);
            if (node == 0) break;
            chain[static_cast<std::size_t>(i)] = node;
        }
    }
    std::lock_guard<std::mutex> lock(chainsLock_);
    chains_ = walked;
}

void CQ7310Doc::FollowSourceEdits(const EditEvent& event) {
    if (event.replaced || event.image != 0) return;
    for (const ByteChange& change : event.changes) {
        if (IsSourceByte(change.offset)) {
            RecordChains();
            return;
        }
    }
}

bool CQ7310Doc::AnyIndicatorLit(int channel) const {
    if (channel != kChannelA && channel != kChannelB) return false;
    const auto& chain = chains_[static_cast<std::size_t>(channel)];
    return IndicatorLit(bus_.Meters().indicatorBits, MembershipFromNodes(chain));
}

// ---- Worker side ---------------------------------------------------------------------------

StatusInputs CQ7310Doc::ReadStatusInputs() {
    StatusInputs inputs;
    {
        std::lock_guard<std::mutex> lock(chainsLock_);
        for (std::size_t ch = 0; ch < 2; ++ch) {
            inputs.chains[ch] = MembershipFromNodes(chains_[ch]);
        }
    }
    std::array<uint8_t, kImageSlotSize> image{};
    if (edits_.CopyBytes(0, static_cast<int>(kPresetImageSize), image.data())) {
        const std::span<const uint8_t, kPresetImageSize> bytes(image.data(), kPresetImageSize);
        inputs.outputLevelA =
            static_cast<uint8_t>(ReadField(bytes, ParamField::OutputLevel, kChannelA));
        inputs.outputLevelB =
            static_cast<uint8_t>(ReadField(bytes, ParamField::OutputLevel, kChannelB));
    }
    return inputs;
}

}  // namespace arvestra
