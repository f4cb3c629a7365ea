#include "app/AppState.h"

namespace arvestra {

void AppState::SetOnline(int flag) {
    const int wasOnline = online_.exchange(flag != 0 ? 1 : 0);
    OnlineObserver* document = document_.load();
    if (document == nullptr) return;
    // The document reports its own failures; the switch itself has no result.
    document->ApplyOnlineState();
    if (wasOnline != 0 && flag == 0) document->ClearMeters();
}

}  // namespace arvestra
