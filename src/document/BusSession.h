// The document's side of the serial bus: the link, the synchronisation worker and the handshake
// that gives the user-interface thread the link for itself, the switches that say whether edits
// are sent and the status is polled, and the meters the last poll brought back.
//
// Threads: the worker sends and polls; everything else runs on the user-interface thread, which
// exchanges frames only between PauseWorker and ResumeWorker. The flags and the meters are
// atomics read by both.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <span>

#include "app/Clock.h"
#include "app/ErrorReporter.h"
#include "app/OnlineObserver.h"
#include "app/SystemClock.h"
#include "link/DeviceCommands.h"
#include "link/SerialLink.h"
#include "link/SerialPortFactory.h"
#include "link/SyncTarget.h"
#include "link/SyncWorker.h"

namespace arvestra {

// Error numbers of the worker handshake.
inline constexpr int kErrWorkerStart = 305;
inline constexpr int kErrPauseTimeout = 321;
inline constexpr int kErrFlushTimeout = 337;

// Result of PauseWorker: ok when the worker is idle, saved the earlier syncEnabled.
struct PauseResult {
    bool ok = false;
    int saved = 0;
};

class BusSession : public OnlineObserver {
  public:
    // `target` is what the worker serves (the edit buffer's dirty range and the status inputs);
    // `editsPending` tells whether a dirty range is waiting to be sent.
    BusSession(ErrorReporter& reporter, Clock& clock, SerialPortFactory& factory,
               ISyncTarget& target, std::function<bool()> editsPending);
    // Waits for the worker to become idle, then stops and joins it.
    ~BusSession() override;
    BusSession(const BusSession&) = delete;
    BusSession& operator=(const BusSession&) = delete;

    CSerialLink& Link() { return link_; }
    const CSerialLink& Link() const { return link_; }
    CSyncWorker& Worker() { return worker_; }

    // Edits of the edit buffer are to be sent to the device.
    bool IsSyncLive() const { return syncLive_.load(); }
    void SetSyncLive(bool live) { syncLive_.store(live); }
    // The worker polls the device status (the development utilities' "&Real-Time Update").
    bool IsStatusPolling() const { return statusPolling_.load(); }
    void SetStatusPolling(bool on) { statusPolling_.store(on); }
    // The worker thread exists.
    bool IsWorkerStarted() const { return workerStarted_; }
    // The MIDI debug switch last sent; every device found by discovery gets it again.
    bool MidiDebug() const { return midiDebug_; }

    // ---- Handshake ----------------------------------------------------------------------------

    // Clears syncEnabled and waits (at most 11-12 s, longer while a link error dialog is up)
    // until the worker is idle; reports 321 on time-out when asked to.
    PauseResult PauseWorker(bool report = true);
    // syncEnabled = saved (after a successful operation); stays 0 once the application is
    // offline or a worker exchange has failed.
    void ResumeWorker(int saved);
    // syncEnabled = 1 at the end of a successful go-online.
    void EnableSync();
    // Starts the worker once, only while online; reports 305 when the thread cannot start.
    int StartWorker();
    // Clears syncEnabled and waits for the worker to become idle (exit); 0 on time-out.
    int WaitWorkerIdle();
    // Waits until the worker has sent the dirty range; reports 337 after the time limit. 1 at
    // once while not live; 0 at once, without a box, after a failure already reported.
    int WaitDirtyFlushed();

    // The link follows the device being edited. With `now` false the worker may still be inside
    // an exchange for the device left (a pause timed out): the link moves at the next pause that
    // finds the worker idle, so the old device's bytes never go to the new one.
    void FollowDevice(int address, bool now);

    // ---- Exchanges (worker, or user-interface thread while paused) ----------------------------

    // Sends the dirty range now.
    int FlushDirty() { return worker_.FlushDirty(); }
    // CMD_WRITE_IMAGE of `bytes` from offset `first` as image number `imageNumber`.
    int WriteImage(int first, std::span<const std::uint8_t> bytes, int imageNumber) {
        return worker_.WriteImageRange(first, bytes, imageNumber);
    }
    // One status poll into the meters (no exchange while not live).
    int PollStatus() { return worker_.PollStatus(); }
    // PollStatus, then the meters-changed notice.
    int PollAndRefresh() { return worker_.PollAndRefresh(); }
    // CMD_SET_MIDI_DEBUG under the handshake; 1 on success.
    int SetMidiDebug(bool on);

    // ---- Port ---------------------------------------------------------------------------------

    // Pauses the worker and opens the port; the worker stays paused.
    int OpenLink();
    // Pauses the worker, closes the port and drops pending edits; the worker stays paused.
    int CloseLink();
    // Pauses the worker, purges the port and resumes.
    int PurgeLink();
    // Follows the application's online flag: opens the link, or drops pending edits, closes it
    // and refreshes the views.
    int ApplyOnlineState() override;

    // ---- Meters -------------------------------------------------------------------------------

    // The meters of the last poll (devicePreset 0: no report from this device yet).
    MeterRecord Meters() const;
    // The preset the device being edited last reported; 0 when none has yet.
    int DevicePreset() const { return devicePreset_.load(); }
    void SetDevicePreset(int preset) { devicePreset_.store(preset); }
    // Stores a decoded status (worker thread).
    void StoreMeters(const MeterRecord& meters);
    // Tells the user interface that the meters changed (any thread).
    void PostMeterRefresh();
    // Zeroes the meters and tells the user interface; called when the application goes offline.
    void ClearMeters() override;

  private:
    bool IsOnline() const { return reporter_.App().IsOnline() != 0; }
    // Empties the dirty range (its edits will never be sent).
    void DropPendingEdits() { target_.TakeDirtyRange(); }

    ErrorReporter& reporter_;
    Clock& clock_;
    ISyncTarget& target_;
    std::function<bool()> editsPending_;
    CSerialLink link_;
    bool workerStarted_ = false;
    bool midiDebug_ = false;
    std::atomic<bool> statusPolling_{true};
    std::atomic<bool> syncLive_{false};
    // The address of the device being edited, and whether the link still points elsewhere.
    int deviceAddress_ = 0;
    bool linkAddressStale_ = false;
    std::atomic<std::uint8_t> levelA_{0}, levelB_{0}, level2A_{0}, level2B_{0};
    std::array<std::atomic<std::uint8_t>, 2> reduction1_{};
    std::array<std::atomic<std::uint8_t>, 2> reduction2_{};
    std::atomic<std::uint8_t> indicatorBits_{0};
    std::atomic<int> devicePreset_{0};
    // The worker's naps and yields are pacing, not time limits: they always really sleep.
    SystemClock workerClock_;
    CSyncWorker worker_;
};

}  // namespace arvestra
