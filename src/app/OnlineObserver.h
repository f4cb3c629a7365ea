#pragma once

namespace arvestra {

// How the application's online switch reaches the active document without knowing it.
class OnlineObserver {
  public:
    virtual ~OnlineObserver() = default;

    // Follows the application's online flag (opens or closes the link); result for the caller.
    virtual int ApplyOnlineState() = 0;

    // Zeroes the meters and asks the view to show them; called when the application goes offline.
    virtual void ClearMeters() = 0;
};

}  // namespace arvestra
