// Waiting with the event loop running, for the tests and benchmarks of the remote page.
#pragma once

#include <functional>

namespace arvestra::test {

// Lets queued events run until pred holds or timeoutMs has passed; returns pred's last value.
bool RunUntil(const std::function<bool()>& pred, int timeoutMs = 3000);

}  // namespace arvestra::test
