#include "document/BusSession.h"

#include "app/ErrorMessages.h"
#include "app/UiPort.h"
#include "link/DeviceCommandsLink.h"

namespace arvestra {

BusSession::BusSession(ErrorReporter& reporter, Clock& clock, SerialPortFactory& factory,
                       ISyncTarget& target, std::function<bool()> editsPending)
    : reporter_(reporter),
      clock_(clock),
      target_(target),
      editsPending_(std::move(editsPending)),
      link_(reporter, factory),
      worker_(target, link_, workerClock_) {}

BusSession::~BusSession() {
    // A C++ program must not end with a joinable thread: let the worker finish its exchange,
    // then end its loop.
    if (worker_.IsStarted()) {
        WaitWorkerIdle();
        worker_.Stop();
    }
}

// ---- Handshake ---------------------------------------------------------------------------------

PauseResult BusSession::PauseWorker(bool report) {
    PauseResult result;
    result.saved = worker_.syncEnabled.exchange(0);
    std::int64_t start = clock_.NowSeconds();
    while (worker_.workerBusy.load() != 0) {
        reporter_.Ui().KeepResponsive();
        const std::int64_t now = clock_.NowSeconds();
        if (link_.errorDialogShowing.load() != 0) {
            start = now;  // the limit does not run while the user reads a link error
        } else if (now - start > kWorkerPauseLimitSeconds) {
            if (report) {
                reporter_.ReportError(kMsgCannotCommunicate, false, kErrPauseTimeout,
                                      kWorkerPauseLimitSeconds, static_cast<int>(now - start), 0);
            }
            return result;
        }
        clock_.Sleep(0);
    }
    if (linkAddressStale_) {
        // A selection made while the worker was stuck left the link on the worker's device.
        link_.SetAddress(deviceAddress_);
        linkAddressStale_ = false;
    }
    result.ok = true;
    return result;
}

void BusSession::ResumeWorker(int saved) {
    // A failure on this thread that the user answered with "continue offline" or "exit" cleared
    // the online flag in the middle of the operation: the worker must not go back to a device
    // the user has left. Only the next go-online enables it again.
    worker_.Resume(IsOnline() ? saved : 0);
}

void BusSession::EnableSync() {
    worker_.Enable();
}

int BusSession::StartWorker() {
    if (workerStarted_ || !IsOnline()) return 1;
    const int error = worker_.Start();
    if (error != 0) {
        reporter_.ReportError(kMsgCannotStartWorker, false, kErrWorkerStart, error, 0, 0);
        return 0;
    }
    workerStarted_ = true;
    return 1;
}

int BusSession::WaitWorkerIdle() {
    worker_.syncEnabled.store(0);
    const std::int64_t start = clock_.NowSeconds();
    while (worker_.workerBusy.load() != 0) {
        reporter_.Ui().KeepResponsive();
        if (clock_.NowSeconds() - start > kWorkerPauseLimitSeconds) return 0;
        clock_.Sleep(0);
    }
    return 1;
}

int BusSession::WaitDirtyFlushed() {
    std::int64_t start = clock_.NowSeconds();
    for (;;) {
        // Nothing is sent while not live, or before the worker exists, so there is nothing to
        // wait for: the pending range goes out once the worker runs.
        if (!IsSyncLive() || !worker_.IsStarted()) return 1;
        if (!editsPending_()) return 1;
        // A failure has been reported already (the worker gave up, or the user chose to leave
        // the device): the range will never be sent, and a second box would only repeat it.
        if (worker_.failed.load() != 0 || !IsOnline()) return 0;
        reporter_.Ui().KeepResponsive();
        const std::int64_t now = clock_.NowSeconds();
        if (link_.errorDialogShowing.load() != 0) {
            start = now;
        } else if (now - start > kWorkerPauseLimitSeconds) {
            reporter_.ReportError(kMsgCannotCommunicate, false, kErrFlushTimeout,
                                  kWorkerPauseLimitSeconds, static_cast<int>(now - start), 0);
            return 0;
        }
        clock_.Sleep(0);
    }
}

void BusSession::FollowDevice(int address, bool now) {
    // Another device's reported preset says nothing about this one. 0 means "no report yet",
    // which the view ignores, so a meter refresh still queued cannot recall the other device's
    // preset here.
    if (address != deviceAddress_) devicePreset_.store(0);
    deviceAddress_ = address;
    if (now) link_.SetAddress(address);
    linkAddressStale_ = !now;
}

int BusSession::SetMidiDebug(bool on) {
    const PauseResult pause = PauseWorker(true);
    if (!pause.ok) return 0;
    midiDebug_ = on;
    if (!SendMidiDebug(link_, on)) return 0;
    ResumeWorker(pause.saved);
    return 1;
}

// ---- Port --------------------------------------------------------------------------------------

int BusSession::OpenLink() {
    if (!PauseWorker(true).ok) return 0;
    return link_.OpenPort();
}

int BusSession::CloseLink() {
    if (!PauseWorker(true).ok) return 0;
    link_.ClosePort();
    // Edits still pending belong to the device just left; sent after the next go-online they
    // would land in whatever device the link then talks to.
    DropPendingEdits();
    return 1;
}

int BusSession::PurgeLink() {
    const PauseResult pause = PauseWorker(true);
    if (!pause.ok) return 0;
    link_.PurgePort();
    ResumeWorker(pause.saved);
    return 1;
}

int BusSession::ApplyOnlineState() {
    if (IsOnline()) {
        SetSyncLive(true);
        return OpenLink();
    }
    SetSyncLive(false);
    DropPendingEdits();
    if (!CloseLink()) return 0;
    reporter_.Ui().DocumentChanged();
    return 1;
}

// ---- Meters ------------------------------------------------------------------------------------

MeterRecord BusSession::Meters() const {
    MeterRecord meters;
    meters.levelA = levelA_.load();
    meters.levelB = levelB_.load();
    meters.level2A = level2A_.load();
    meters.level2B = level2B_.load();
    for (std::size_t ch = 0; ch < 2; ++ch) {
        meters.reduction1[ch] = reduction1_[ch].load();
        meters.reduction2[ch] = reduction2_[ch].load();
    }
    meters.indicatorBits = indicatorBits_.load();
    meters.devicePreset = devicePreset_.load();
    return meters;
}

void BusSession::StoreMeters(const MeterRecord& meters) {
    levelA_.store(meters.levelA);
    levelB_.store(meters.levelB);
    level2A_.store(meters.level2A);
    level2B_.store(meters.level2B);
    for (std::size_t ch = 0; ch < 2; ++ch) {
        reduction1_[ch].store(meters.reduction1[ch]);
        reduction2_[ch].store(meters.reduction2[ch]);
    }
    indicatorBits_.store(meters.indicatorBits);
    devicePreset_.store(meters.devicePreset);
}

void BusSession::PostMeterRefresh() {
    reporter_.Ui().MetersChanged();
}

void BusSession::ClearMeters() {
    MeterRecord zero;
    zero.devicePreset = devicePreset_.load();  // the device still runs the preset it reported
    StoreMeters(zero);
    PostMeterRefresh();
}

}  // namespace arvestra
