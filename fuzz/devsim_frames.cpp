// Feeds arbitrary byte streams to the simulator's frame parser. Besides not crashing, every frame
// it accepts must hold together (length within bounds, bytes summing to 0), and after a Reset a
// well-formed frame built from the same input must come out exactly as it went in.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "devsim/FrameParser.h"

namespace {

using arvestra::devsim::CFrameParser;
using arvestra::devsim::ParseEvent;
using arvestra::devsim::Request;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckAccepted(const Request& request) {
    Require(request.payload.size() + 2 <= static_cast<std::size_t>(CFrameParser::kMaxFrameLength));
    Require(request.wire.size() >= request.payload.size() + 6);
    Require(request.wire.front() == CFrameParser::kStartByte);
    const std::size_t length = request.payload.size() + 2;
    unsigned sum = (length >> 8) + (length & 0xFF) + request.command;
    for (const std::uint8_t b : request.payload) {
        sum += b;
    }
    // The checksum is not kept, but the last wire byte is it (a doubled 0xFB ends in 0xFB).
    sum += request.wire.back();
    Require((sum & 0xFF) == 0);
}

std::vector<std::uint8_t> Stuffed(std::uint8_t address, std::uint8_t command,
                                  const std::uint8_t* payload, std::size_t size) {
    const std::size_t length = size + 2;
    std::vector<std::uint8_t> plain{0xFB, address, static_cast<std::uint8_t>(length >> 8),
                                    static_cast<std::uint8_t>(length & 0xFF), command};
    plain.insert(plain.end(), payload, payload + size);
    unsigned sum = 0;
    for (std::size_t i = 2; i < plain.size(); ++i) {
        sum += plain[i];
    }
    plain.push_back(static_cast<std::uint8_t>(0x100 - (sum & 0xFF)));
    std::vector<std::uint8_t> wire{plain.front()};
    for (std::size_t i = 1; i < plain.size(); ++i) {
        wire.push_back(plain[i]);
        if (plain[i] == 0xFB) {
            wire.push_back(0xFB);
        }
    }
    return wire;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFrameParser parser;
    for (std::size_t i = 0; i < size; ++i) {
        if (parser.Feed(data[i]) == ParseEvent::Request) {
            CheckAccepted(parser.LastRequest());
        }
    }

    if (size < 2) {
        return 0;
    }
    const std::size_t payloadSize = std::min<std::size_t>(size - 2, 260);
    const std::vector<std::uint8_t> wire = Stuffed(data[0], data[1], data + 2, payloadSize);
    parser.Reset();
    int requests = 0;
    for (const std::uint8_t b : wire) {
        if (parser.Feed(b) == ParseEvent::Request) {
            ++requests;
            const Request& request = parser.LastRequest();
            Require(request.address == data[0] && request.command == data[1]);
            Require(request.payload.size() == payloadSize);
            Require(std::equal(request.payload.begin(), request.payload.end(), data + 2));
            Require(request.wire == wire);
        }
    }
    Require(requests == 1);
    Require(!parser.InFrame());
    return 0;
}
