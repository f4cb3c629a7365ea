#pragma once

#include <atomic>

#include "app/OnlineObserver.h"

namespace arvestra {

// The application-wide online flag and the active document it is applied to.
// IsOnline and ClearOnlineFlag may be used from any thread; SetOnline and SetActiveDocument run
// on the user-interface thread.
class AppState {
  public:
    // True while the application is online.
    bool IsOnline() const { return online_.load() != 0; }

    // Clears the flag without touching the link; the view notices and goes offline formally.
    void ClearOnlineFlag() { online_.store(0); }

    // Sets the flag and lets the active document follow it; clears the meters on online -> offline.
    void SetOnline(int flag);

    // Names the document SetOnline applies the flag to (nullptr: none).
    void SetActiveDocument(OnlineObserver* document) { document_.store(document); }

    // The document SetOnline applies the flag to, or nullptr.
    OnlineObserver* ActiveDocument() const { return document_.load(); }

  private:
    std::atomic<int> online_{0};
    std::atomic<OnlineObserver*> document_{nullptr};
};

}  // namespace arvestra
