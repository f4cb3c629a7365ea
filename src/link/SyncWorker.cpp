#include "link/SyncWorker.h"

#include <cerrno>
#include <system_error>

#include "link/DeviceCommandsLink.h"

namespace arvestra {

CSyncWorker::CSyncWorker(ISyncTarget& target, CSerialLink& link, Clock& clock)
    : target_(target), link_(link), clock_(clock) {}

CSyncWorker::~CSyncWorker() {
    Stop();
}

int CSyncWorker::Start() {
    if (thread_.joinable()) return 0;
    stop_.store(false);
    try {
        thread_ = std::thread([this] { WorkerLoop(); });
    } catch (const std::system_error& e) {
        return e.code().value() != 0 ? e.code().value() : EAGAIN;
    }
    return 0;
}

void CSyncWorker::Stop() {
    stop_.store(true);
    if (thread_.joinable()) thread_.join();
}

void CSyncWorker::Enable() {
    failed.store(0);
    syncEnabled.store(1);
}

void CSyncWorker::Resume(int saved) {
    // A failure since the pause began wins: the worker stays idle until the next go-online.
    syncEnabled.store(saved != 0 && failed.load() == 0 ? 1 : 0);
}

int CSyncWorker::FlushDirty() {
    bool sent = false;
    return Flush(sent);
}

int CSyncWorker::Flush(bool& sent) {
    sent = false;
    if (!target_.IsSyncLive()) return 1;
    const DirtyChunk chunk = target_.TakeDirtyRange();
    if (chunk.count <= 0) return 1;
    sent = true;
    return WriteImageRange(
        chunk.first,
        std::span<const std::uint8_t>(chunk.bytes.data(), static_cast<std::size_t>(chunk.count)),
        0);
}

int CSyncWorker::WriteImageRange(int first, std::span<const std::uint8_t> bytes, int imageNumber) {
    return SendImageBytes(link_, imageNumber, first, bytes);  // a range outside the image: 0
}

int CSyncWorker::PollStatus() {
    // With the port closed Transact exchanges nothing; the untouched reply must not be decoded
    // into meters and a preset the device never reported.
    if (!target_.IsSyncLive() || !link_.IsOpen()) return 1;
    const StatusInputs inputs = target_.ReadStatusInputs();
    MeterRecord meters;
    if (!RequestStatus(link_, inputs.chains, inputs.outputLevelA, inputs.outputLevelB, meters)) {
        return 0;
    }
    target_.StoreMeters(meters);
    return 1;
}

int CSyncWorker::PollAndRefresh() {
    if (!PollStatus()) return 0;
    target_.PostMeterRefresh();
    return 1;
}

void CSyncWorker::WorkerLoop() {
    while (!stop_.load()) {
        if (syncEnabled.load() == 0) {
            workerBusy.store(0);
            clock_.Sleep(kWorkerNapMs);
            continue;
        }
        // Claim the link first, then look again: a pause that cleared syncEnabled in between
        // either sees workerBusy = 1 and waits, or is seen here and the worker backs off.
        workerBusy.store(1);
        if (syncEnabled.load() == 0) continue;
        ActivePass();
    }
    workerBusy.store(0);
}

void CSyncWorker::ActivePass() {
    // Nothing is exchanged while edits are not live or the port is closed: the worker naps as
    // when paused, instead of spinning and posting a refresh for meters that did not move.
    if (!target_.IsSyncLive() || !link_.IsOpen()) {
        clock_.Sleep(kWorkerIdleNapMs);
        return;
    }
    bool sent = false;
    if (!Flush(sent)) {
        failed.store(1);
        syncEnabled.store(0);
    }
    clock_.Sleep(0);
    const bool polling = target_.IsStatusPolling();
    if (syncEnabled.load() != 0 && polling) {
        if (!PollAndRefresh()) {
            failed.store(1);
            syncEnabled.store(0);
        }
    }
    // Without polling, a pass that sent nothing would come round again at once.
    clock_.Sleep(polling || sent ? 0 : kWorkerIdleNapMs);
}

}  // namespace arvestra
