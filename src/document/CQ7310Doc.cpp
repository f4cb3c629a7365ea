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
    : link(reporter, factory),
      reporter_(reporter),
      clock_(clock),
      session_(reporter),
      ownStorage_(kLocationSize),
      worker_(*this, link, workerClock_) {
    location_.Attach(CLocationImage::Bytes(ownStorage_.data(), kLocationSize));
    location_.FormatNew();
}

CQ7310Doc::~CQ7310Doc() {
    // A C++ program must not end with a joinable thread: let the worker finish its exchange,
    // then end its loop.
    if (worker_.IsStarted()) {
        WaitWorkerIdle();
        worker_.Stop();
    }
}

// ---- Storage ---------------------------------------------------------------------------------

void CQ7310Doc::AttachStorage(std::span<uint8_t, kLocationSize> bytes) {
    std::lock_guard<std::mutex> lock(dirtyLock);
    location_.Attach(bytes);
    model.unbind();
    currentSlot_ = kNoDevice;
    dirtyFirst = 255;
    dirtyLast = 0;
    chains_ = {};
    EndEditHistory("another location was loaded");
}

void CQ7310Doc::DetachStorage() {
    AttachStorage(CLocationImage::Bytes(ownStorage_.data(), kLocationSize));
    location_.FormatNew();
}

void CQ7310Doc::FormatEmptyLocation() {
    std::lock_guard<std::mutex> lock(dirtyLock);
    location_.FormatNew();
    model.unbind();
    currentSlot_ = kNoDevice;
    chains_ = {};
    EndEditHistory("another location was loaded");
}

// ---- Selection and lookup ----------------------------------------------------------------

int CQ7310Doc::ResolveSlot(int address) const {
    return SlotOfAddress(address);
}

void CQ7310Doc::BindDevice(int address, bool moveLink) {
    // The preset the previous device reported says nothing about this one. 0 means "no report
    // yet", which the view ignores, so a meter refresh still queued cannot recall the other
    // device's preset here; the record's preset would be the file's value, not a report.
    if (address != currentAddress) devicePreset.store(0);
    currentAddress = address;
    if (moveLink) link.SetAddress(address);
    std::lock_guard<std::mutex> lock(dirtyLock);
    currentSlot_ = ResolveSlot(address);
    if (currentSlot_ == kNoDevice) {
        model.unbind();
    } else {
        model.rebind(location_.Image(currentSlot_, 0), 0);
    }
}

void CQ7310Doc::BindImage(int image) {
    std::lock_guard<std::mutex> lock(dirtyLock);
    if (currentSlot_ == kNoDevice || image < 0 || image >= kImageCount) return;
    model.rebind(location_.Image(currentSlot_, 0), image);
}

void CQ7310Doc::SelectDevice(int address) {
    if (address < 0 || address >= kAddressCount) return;
    const PauseResult pause = PauseWorker(true);
    bool sent = true;
    if (pause.ok) {
        // Edits still pending belong to the device being left: send them to it first, to its
        // own address (a scan moves the link's address without selecting a device).
        link.SetAddress(currentAddress);
        sent = FlushDirty() != 0;
    } else {
        ClearDirtyRange();
    }
    // After a time-out the worker may still be inside an exchange that a retry repeats with the
    // link's address: the old device's bytes must not go to this one. The link then follows the
    // selection at the next pause that finds the worker idle.
    BindDevice(address, pause.ok != 0);
    linkAddressStale_ = !pause.ok;
    RecordChains();
    if (pause.ok && sent) ResumeWorker(pause.saved);
}

int CQ7310Doc::EditDevice(int address) {
    SelectDevice(address);
    if (IsOnline()) {
        if (!ReadDeviceInfo()) return 0;
        if (!ReadImage(0)) return 0;
    }
    editingStarted = 1;
    return 1;
}

int CQ7310Doc::EditDeviceInSlot(int slot) {
    return EditDevice(AddressOfSlot(slot));
}

int CQ7310Doc::SlotOfAddress(int address) const {
    const int slot = location_.SlotOf(address);
    return slot != kNoDevice ? slot : location_.SlotOf(kFirstAddress);
}

int CQ7310Doc::AddressOfSlot(int slot) const {
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
        if (location_.SlotOf(a) == slot && slot != kNoDevice) return a;
    }
    return kFirstAddress;
}

int CQ7310Doc::IsDevicePresent(int address) const {
    if (address < 0 || address >= kAddressCount) return 0;
    if (IsOnline()) return present[static_cast<std::size_t>(address)] != 0 ? 1 : 0;
    return location_.SlotOf(address) != kNoDevice ? 1 : 0;
}

int CQ7310Doc::RebuildPresentTable() {
    present.fill(0);
    int lowest = 0;
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
        if (location_.SlotOf(a) == kNoDevice) continue;
        present[static_cast<std::size_t>(a)] = 1;
        if (lowest == 0) lowest = a;
    }
    return lowest;
}

int CQ7310Doc::CountPresentDevices() const {
    return static_cast<int>(
        std::count_if(present.begin(), present.end(), [](int p) { return p != 0; }));
}

int CQ7310Doc::FirstPresentAddress() const {
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
        if (present[static_cast<std::size_t>(a)] != 0) return a;
    }
    return 0;
}

int CQ7310Doc::FirstFreeAddress() const {
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
        if (location_.SlotOf(a) == kNoDevice) return a;
    }
    return -1;
}

int CQ7310Doc::FirstFreeSlot() const {
    std::array<bool, kMaxSlots> used{};
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
        const int slot = location_.SlotOf(a);
        if (slot != kNoDevice) used[static_cast<std::size_t>(slot)] = true;
    }
    for (int s = 0; s < kMaxSlots; ++s) {
        if (!used[static_cast<std::size_t>(s)]) return s;
    }
    return -1;
}

std::string CQ7310Doc::GetDeviceName(int address) const {
    const int slot = SlotOfAddress(address);
    return slot == kNoDevice ? std::string() : location_.DeviceName(slot);
}

std::string CQ7310Doc::GetPresetName(int image) const {
    if (currentSlot_ == kNoDevice || image < 0 || image >= kImageCount) return {};
    return location_.PresetName(currentSlot_, image);
}

int CQ7310Doc::IsKindConfigured(int code) const {
    const int slots = FieldInfo(ParamField::ChainSlot).indexCount;
    for (int s = 0; s < slots; ++s) {
        if (model.Get(ParamField::ChainSlot, kChannelA, s) == code) return 1;
    }
    return 0;
}

// ---- Record fields of the current device ----------------------------------------------------

int CQ7310Doc::CurrentPreset() const {
    if (currentSlot_ == kNoDevice) return kFirstPreset;
    return std::clamp<int>(location_.RecordInt(currentSlot_, kRecCurrentPreset), kFirstPreset,
                           kLastPreset);
}

void CQ7310Doc::SetCurrentPreset(int preset) {
    if (currentSlot_ == kNoDevice) return;
    location_.SetRecordInt(currentSlot_, kRecCurrentPreset,
                           std::clamp(preset, kFirstPreset, kLastPreset));
}

int CQ7310Doc::PresetModified() const {
    if (currentSlot_ == kNoDevice) return 0;
    return location_.RecordInt(currentSlot_, kRecPresetModified) != 0 ? 1 : 0;
}

void CQ7310Doc::SetPresetModified(int on) {
    if (currentSlot_ == kNoDevice) return;
    location_.SetRecordInt(currentSlot_, kRecPresetModified, on != 0 ? 1 : 0);
}

int CQ7310Doc::BypassA() const {
    if (currentSlot_ == kNoDevice) return 0;
    return location_.RecordInt(currentSlot_, kRecBypassA) != 0 ? 1 : 0;
}

int CQ7310Doc::BypassB() const {
    if (currentSlot_ == kNoDevice) return 0;
    return location_.RecordInt(currentSlot_, kRecBypassB) != 0 ? 1 : 0;
}

// ---- Chains ------------------------------------------------------------------------------

int CQ7310Doc::ChainHoldsNode(int channel, int node) const {
    if (channel != kChannelA && channel != kChannelB) return 0;
    const auto& chain = chains_[static_cast<std::size_t>(channel)];
    return std::find(chain.begin(), chain.end(), node) != chain.end() ? 1 : 0;
}

int CQ7310Doc::ChainHoldsKind(int channel, int code) const {
    return code == 0 ? 0 : ChainHoldsNode(channel, code + 2);
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

int CQ7310Doc::AnyIndicatorLit(int channel) const {
    if (channel != kChannelA && channel != kChannelB) return 0;
    const auto& chain = chains_[static_cast<std::size_t>(channel)];
    return IndicatorLit(indicatorBits.load(), MembershipFromNodes(chain)) ? 1 : 0;
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

void CQ7310Doc::StoreMeters(const MeterRecord& meters) {
    levelA.store(meters.levelA);
    levelB.store(meters.levelB);
    level2A.store(meters.level2A);
    level2B.store(meters.level2B);
    for (std::size_t ch = 0; ch < 2; ++ch) {
        reduction1[ch].store(meters.reduction1[ch]);
        reduction2[ch].store(meters.reduction2[ch]);
    }
    indicatorBits.store(meters.indicatorBits);
    devicePreset.store(meters.devicePreset);
}

void CQ7310Doc::PostMeterRefresh() {
    Ui().PostViewCommand(kCmdMeterRefresh);
}

}  // namespace arvestra
