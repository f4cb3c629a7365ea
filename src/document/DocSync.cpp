// CQ7310Doc: the edit state shared with the worker (dirty range, pause and resume) and the
// link-level operations that run under the handshake.
#include <algorithm>

#include "app/ErrorMessages.h"
#include "document/CQ7310Doc.h"

namespace arvestra {

int CQ7310Doc::MarkDirty(uint8_t offset) {
    std::lock_guard<std::mutex> lock(dirtyLock);
    dirtyFirst = std::min(dirtyFirst, offset);
    dirtyLast = std::max(dirtyLast, offset);
    return 1;
}

std::pair<uint8_t, uint8_t> CQ7310Doc::DirtyRange() const {
    std::lock_guard<std::mutex> lock(dirtyLock);
    return {dirtyFirst, dirtyLast};
}

PauseResult CQ7310Doc::PauseWorker(bool report) {
    PauseResult result;
    result.saved = worker_.syncEnabled.exchange(0);
    std::int64_t start = clock_.NowSeconds();
    while (worker_.workerBusy.load() != 0) {
        Ui().KeepResponsive();
        const std::int64_t now = clock_.NowSeconds();
        if (link.errorDialogShowing.load() != 0) {
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
        link.SetAddress(currentAddress);
        linkAddressStale_ = false;
    }
    result.ok = 1;
    return result;
}

void CQ7310Doc::ResumeWorker(int saved) {
    // A failure on this thread that the user answered with "continue offline" or "exit" cleared
    // the online flag in the middle of the operation: the worker must not go back to a device
    // the user has left. Only the next go-online enables it again.
    worker_.Resume(IsOnline() ? saved : 0);
}

void CQ7310Doc::EnableSync() {
    worker_.Enable();
}

int CQ7310Doc::StartWorker() {
    if (workerStarted || !IsOnline()) return 1;
    const int error = worker_.Start();
    if (error != 0) {
        reporter_.ReportError(kMsgCannotStartWorker, false, kErrWorkerStart, error, 0, 0);
        return 0;
    }
    workerStarted = 1;
    return 1;
}

int CQ7310Doc::WriteImageRange(int first, int last, int imageNumber) {
    if (first < 0 || last < first || last >= static_cast<int>(kImageSlotSize)) return 0;
    std::array<uint8_t, kImageSlotSize> bytes{};
    const int count = last - first + 1;
    {
        std::lock_guard<std::mutex> lock(dirtyLock);
        if (!model.isBound()) return 0;
        const uint8_t* image = model.firstSlot() + model.slotIndex() * kImageSlotSize;
        std::copy_n(image + first, count, bytes.begin());
    }
    return worker_.WriteImageRange(
        first, std::span<const uint8_t>(bytes.data(), static_cast<std::size_t>(count)),
        imageNumber);
}

int CQ7310Doc::SendStoredImage(int image, int imageNumber) {
    if (currentSlot_ == kNoDevice || image < 0 || image >= kImageCount) return 0;
    std::array<uint8_t, kPresetImageSize> bytes{};
    {
        std::lock_guard<std::mutex> lock(dirtyLock);
        const uint8_t* source = location_.Image(currentSlot_, image);
        std::copy_n(source, kPresetImageSize, bytes.begin());
    }
    return worker_.WriteImageRange(0, bytes, imageNumber);
}

void CQ7310Doc::ClearDirtyRange() {
    std::lock_guard<std::mutex> lock(dirtyLock);
    dirtyFirst = 255;
    dirtyLast = 0;
}

int CQ7310Doc::WaitDirtyFlushed() {
    std::int64_t start = clock_.NowSeconds();
    for (;;) {
        // Nothing is sent while not live, or before the worker exists, so there is nothing to
        // wait for: the pending range goes out once the worker runs.
        if (syncLive.load() == 0 || !worker_.IsStarted()) return 1;
        {
            std::lock_guard<std::mutex> lock(dirtyLock);
            if (dirtyLast < dirtyFirst) return 1;
        }
        // A failure has been reported already (the worker gave up, or the user chose to leave
        // the device): the range will never be sent, and a second box would only repeat it.
        if (worker_.failed.load() != 0 || !IsOnline()) return 0;
        Ui().KeepResponsive();
        const std::int64_t now = clock_.NowSeconds();
        if (link.errorDialogShowing.load() != 0) {
            start = now;
        } else if (now - start > kWorkerPauseLimitSeconds) {
            reporter_.ReportError(kMsgCannotCommunicate, false, kErrFlushTimeout,
                                  kWorkerPauseLimitSeconds, static_cast<int>(now - start), 0);
            return 0;
        }
        clock_.Sleep(0);
    }
}

int CQ7310Doc::WaitWorkerIdle() {
    worker_.syncEnabled.store(0);
    const std::int64_t start = clock_.NowSeconds();
    while (worker_.workerBusy.load() != 0) {
        Ui().KeepResponsive();
        if (clock_.NowSeconds() - start > kWorkerPauseLimitSeconds) return 0;
        clock_.Sleep(0);
    }
    return 1;
}

int CQ7310Doc::OpenLink() {
    if (!PauseWorker(true).ok) return 0;
    return link.OpenPort();
}

int CQ7310Doc::CloseLink() {
    if (!PauseWorker(true).ok) return 0;
    link.ClosePort();
    // Edits still pending belong to the device just left; sent after the next go-online they
    // would land in whatever device the link then talks to.
    ClearDirtyRange();
    return 1;
}

int CQ7310Doc::PurgeLink() {
    const PauseResult pause = PauseWorker(true);
    if (!pause.ok) return 0;
    link.PurgePort();
    ResumeWorker(pause.saved);
    return 1;
}

int CQ7310Doc::ApplyOnlineState() {
    if (IsOnline()) {
        syncLive.store(1);
        return OpenLink();
    }
    syncLive.store(0);
    ClearDirtyRange();
    if (!CloseLink()) return 0;
    UpdateAllViews(kHintChange);
    return 1;
}

void CQ7310Doc::ClearMeters() {
    levelA.store(0);
    levelB.store(0);
    level2A.store(0);
    level2B.store(0);
    for (std::size_t ch = 0; ch < 2; ++ch) {
        reduction1[ch].store(0);
        reduction2[ch].store(0);
    }
    indicatorBits.store(0);
    Ui().PostViewCommand(kCmdMeterRefresh);
}

}  // namespace arvestra
