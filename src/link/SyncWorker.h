// The synchronisation worker: one background thread that, while enabled, sends the dirty range
// of the edit buffer in one CMD_WRITE_IMAGE and then polls CMD_READ_STATUS, over and over.
//
// Exclusive use of the link is a handshake on two flags. The user-interface thread clears
// syncEnabled and waits until workerBusy is 0; the worker sets workerBusy to 1 *before* it
// looks at syncEnabled again and backs off when it finds it clear, so the two threads can never
// use the port at once (both flags are sequentially consistent atomics).
#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <thread>

#include "app/Clock.h"
#include "link/SerialLink.h"
#include "link/SyncTarget.h"

namespace arvestra {

// How long the worker naps while paused, and the pause time limit in whole seconds.
inline constexpr int kWorkerNapMs = 100;
inline constexpr int kWorkerPauseLimitSeconds = 10;
// How long an enabled worker naps when it has nothing to exchange: short, since an edit made
// meanwhile waits for the end of the nap.
inline constexpr int kWorkerIdleNapMs = 5;

class CSyncWorker {
  public:
    CSyncWorker(ISyncTarget& target, CSerialLink& link, Clock& clock);
    // Stops and joins the thread if it is still running.
    ~CSyncWorker();
    CSyncWorker(const CSyncWorker&) = delete;
    CSyncWorker& operator=(const CSyncWorker&) = delete;

    // The worker may send and poll; 0 pauses it. Written by both threads.
    std::atomic<int> syncEnabled{0};
    // 1 while the worker is in its active branch; written by the worker only.
    std::atomic<int> workerBusy{0};
    // Set when a flush or poll failed; only a new go-online (Enable) clears it, so a resume of
    // a pause that began before the failure cannot wake the worker again.
    std::atomic<int> failed{0};

    // Starts the thread; 0 on success, else the system's error number.
    int Start();
    // True once Start succeeded.
    bool IsStarted() const { return thread_.joinable(); }
    // Ends the loop and joins the thread (process exit); the caller waits for idle first.
    void Stop();

    // Enables sending and polling after a successful go-online.
    void Enable();
    // syncEnabled = saved, unless a failure happened since the last Enable.
    void Resume(int saved);

    // Sends the dirty range if synchronisation is live; 1 on success or nothing to do.
    int FlushDirty();
    // CMD_WRITE_IMAGE (image, first, bytes); 1 on success, 0 on a failed exchange.
    int WriteImageRange(int first, std::span<const std::uint8_t> bytes, int imageNumber);
    // Polls CMD_READ_STATUS and stores the decoded meters; 1 without exchange (and nothing
    // stored) when not live or when the port is closed.
    int PollStatus();
    // PollStatus, then posts the meter refresh; 0 when the poll failed.
    int PollAndRefresh();

    // Thread body: alternates flush and poll while enabled, naps while paused, ends on Stop.
    void WorkerLoop();

  private:
    // One pass of the active branch: flush, then poll unless paused or failed meanwhile.
    void ActivePass();
    // FlushDirty; sent tells whether a frame went out.
    int Flush(bool& sent);

    ISyncTarget& target_;
    CSerialLink& link_;
    Clock& clock_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace arvestra
