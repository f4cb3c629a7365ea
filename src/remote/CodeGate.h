// Slows down guessing of the access code: every wrong code from an address shuts that address
// out for a time that doubles with each further wrong code (up to a limit), and while it is shut
// out even the right code is refused. A right code clears the address's record.
#pragma once

#include <chrono>
#include <map>
#include <string>

namespace arvestra::remote {

enum class GateVerdict { Accepted, WrongCode, ShutOut };

class CodeGate {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kFirstPause{250};
    static constexpr std::chrono::milliseconds kLongestPause{30000};
    // Addresses remembered at most; the oldest record goes when a new one would exceed it.
    static constexpr std::size_t kMaxRecords = 1024;

    // Judges one offer from `peer`; `codeRight` is the result of the constant-time comparison.
    GateVerdict Judge(const std::string& peer, bool codeRight, Clock::time_point now);

    // The pause the next wrong code of a peer with `failures` earlier wrong codes earns.
    static std::chrono::milliseconds PauseAfter(int failures);

  private:
    struct Record {
        int failures = 0;
        Clock::time_point shutUntil{};
    };
    std::map<std::string, Record> records_;
};

}  // namespace arvestra::remote
