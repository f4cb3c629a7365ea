#include "remote/CodeGate.h"

#include <algorithm>

namespace arvestra::remote {

std::chrono::milliseconds CodeGate::PauseAfter(int failures) {
    std::chrono::milliseconds pause = kFirstPause;
    for (int i = 0; i < failures && pause < kLongestPause; ++i) pause *= 2;
    return std::min(pause, kLongestPause);
}

GateVerdict CodeGate::Judge(const std::string& peer, bool codeRight, Clock::time_point now) {
    auto found = records_.find(peer);
    if (found != records_.end() && now < found->second.shutUntil) return GateVerdict::ShutOut;
    if (codeRight) {
        if (found != records_.end()) records_.erase(found);
        return GateVerdict::Accepted;
    }
    if (found == records_.end()) {
        if (records_.size() >= kMaxRecords) {
            // Forget the record whose pause ended longest ago.
            auto oldest = std::min_element(records_.begin(), records_.end(),
                                           [](const auto& a, const auto& b) {
                                               return a.second.shutUntil < b.second.shutUntil;
                                           });
            records_.erase(oldest);
        }
        found = records_.emplace(peer, Record{}).first;
    }
    Record& record = found->second;
    record.shutUntil = now + PauseAfter(record.failures);
    ++record.failures;
    return GateVerdict::WrongCode;
}

}  // namespace arvestra::remote
