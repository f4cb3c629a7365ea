// Feeds arbitrary bytes, in chunks the input chooses, to the Telnet decoder of the network
// serial port. Besides not crashing and staying bounded, line data escaped for Telnet must come
// out of a fresh decoder exactly as it went in, however it is cut.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "link/TelnetDecoder.h"

namespace {

using namespace arvestra;

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t chunk = 1 + data[0] % 16;
    const std::uint8_t* bytes = data + 1;
    const std::size_t count = size - 1;

    TelnetDecoder decoder;
    decoder.OpeningRequests();
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> replies;
    for (std::size_t at = 0; at < count; at += chunk) {
        decoder.Feed(bytes + at, std::min(chunk, count - at), out, replies);
        Require(decoder.Answers().size() <= 64);
    }
    Require(out.size() <= count);
    // Every reply is one three-byte negotiation answer.
    Require(replies.size() % 3 == 0);

    // The same bytes as line data, escaped, through a decoder that agreed to binary both ways.
    TelnetDecoder binary;
    const std::vector<std::uint8_t> agree{telnet::kIac, telnet::kWill, telnet::kBinary,
                                          telnet::kIac, telnet::kDo,   telnet::kBinary};
    std::vector<std::uint8_t> ignored;
    binary.Feed(agree.data(), agree.size(), ignored, replies);
    const std::vector<std::uint8_t> escaped = TelnetEscape(bytes, count, true);
    std::vector<std::uint8_t> back;
    for (std::size_t at = 0; at < escaped.size(); at += chunk) {
        binary.Feed(escaped.data() + at, std::min(chunk, escaped.size() - at), back, replies);
    }
    Require(back == std::vector<std::uint8_t>(bytes, bytes + count));
    Require(ignored.empty());
    return 0;
}
