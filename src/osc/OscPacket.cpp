#include "osc/OscPacket.h"

#include <lo/lo.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace arvestra::osc {

namespace {

constexpr char kBundleTag[] = "#bundle";   // with its terminating zero: 8 bytes
constexpr std::size_t kBundleHeader = 16;  // the tag and the time tag

struct MessageFree {
    void operator()(lo_message m) const { lo_message_free(m); }
};
using MessagePtr = std::unique_ptr<std::remove_pointer_t<lo_message>, MessageFree>;

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

bool IsBundle(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= sizeof kBundleTag &&
           std::memcmp(bytes.data(), kBundleTag, sizeof kBundleTag) == 0;
}

// A value of type T at an argument liblo has read. liblo's argument pointers need not be aligned
// for their type (a double after one int sits 4 bytes off), so the bytes are copied.
template <typename T>
T ValueAt(const lo_arg* arg) {
    T value{};
    std::memcpy(&value, arg, sizeof value);
    return value;
}

// One argument of a message liblo has read. Types the server takes no value from (blobs, MIDI,
// time tags, nil, infinitum) keep their tag only, so a handler can name the wrong type.
OscArg ArgumentOf(char type, const lo_arg* arg) {
    OscArg out;
    out.type = type;
    switch (type) {
        case LO_INT32:
            out.whole = ValueAt<std::int32_t>(arg);
            out.number = static_cast<double>(out.whole);
            break;
        case LO_INT64:
            out.whole = ValueAt<std::int64_t>(arg);
            out.number = static_cast<double>(out.whole);
            break;
        case LO_FLOAT:
            out.number = ValueAt<float>(arg);
            out.whole = TruncateToWhole(out.number);
            break;
        case LO_DOUBLE:
            out.number = ValueAt<double>(arg);
            out.whole = TruncateToWhole(out.number);
            break;
        case LO_TRUE:
            out.whole = 1;
            out.number = 1.0;
            break;
        case LO_STRING:
        case LO_SYMBOL:
            out.text = reinterpret_cast<const char*>(arg);
            break;
        default:
            break;
    }
    return out;
}

// Reads one message with liblo; false with the reason when it is malformed.
bool DecodeMessage(std::span<const std::uint8_t> bytes, OscMessage& out, std::string& error) {
    // liblo reads from a writable buffer.
    std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    int result = 0;
    const MessagePtr message(lo_message_deserialise(copy.data(), copy.size(), &result));
    if (!message) {
        error = "malformed OSC message (liblo error " + std::to_string(result) + ")";
        return false;
    }
    const char* path = lo_get_path(copy.data(), static_cast<ssize_t>(copy.size()));
    const char* types = lo_message_get_types(message.get());
    lo_arg** argv = lo_message_get_argv(message.get());
    const int argc = lo_message_get_argc(message.get());
    if (path == nullptr || types == nullptr) {
        error = "malformed OSC message";
        return false;
    }
    out.path = path;
    out.args.clear();
    for (int i = 0; i < argc; ++i) {
        out.args.push_back(ArgumentOf(types[i], argv[i]));
    }
    return true;
}

class BundleReader {
  public:
    BundleReader(std::size_t maxMessages, OscDecode& out) : max_(maxMessages), out_(out) {}

    // Reads one element: a message or a bundle; false once reading must stop.
    bool Element(std::span<const std::uint8_t> bytes, int depth) {
        if (!IsBundle(bytes)) return Message(bytes);
        if (depth >= kMaxBundleDepth) return Fail("bundles nested too deep");
        if (bytes.size() < kBundleHeader) return Fail("bundle without a time tag");
        std::span<const std::uint8_t> rest = bytes.subspan(kBundleHeader);
        while (!rest.empty()) {
            if (rest.size() < 4) return Fail("bundle element without a size");
            const std::uint32_t size = BigEndian32(rest.data());
            rest = rest.subspan(4);
            if (size == 0 || size % 4 != 0 || size > rest.size()) {
                return Fail("bundle element with a wrong size");
            }
            if (!Element(rest.first(size), depth + 1)) return false;
            rest = rest.subspan(size);
        }
        return true;
    }

  private:
    bool Message(std::span<const std::uint8_t> bytes) {
        if (out_.messages.size() >= max_) return Fail("too many messages in one packet");
        OscMessage message;
        if (!DecodeMessage(bytes, message, out_.error)) return false;
        out_.messages.push_back(std::move(message));
        return true;
    }
    bool Fail(const char* reason) {
        out_.error = reason;
        return false;
    }

    std::size_t max_;
    OscDecode& out_;
};

}  // namespace

OscDecode DecodeOscPacket(std::span<const std::uint8_t> bytes, std::size_t maxMessages) {
    OscDecode out;
    if (bytes.empty() || bytes.size() % 4 != 0) {
        out.error = "an OSC packet is a non-empty multiple of 4 bytes";
        return out;
    }
    BundleReader(maxMessages, out).Element(bytes, 0);
    return out;
}

std::vector<std::uint8_t> EncodeOscMessage(const OscMessage& message) {
    const MessagePtr m(lo_message_new());
    if (!m) return {};
    for (const OscArg& arg : message.args) {
        int added = -1;
        switch (arg.type) {
            case 'i':
                added = lo_message_add_int32(m.get(), static_cast<std::int32_t>(arg.whole));
                break;
            case 'f':
                added = lo_message_add_float(m.get(), static_cast<float>(arg.number));
                break;
            case 's':
                added = lo_message_add_string(m.get(), arg.text.c_str());
                break;
            default:
                return {};
        }
        if (added != 0) return {};
    }
    std::size_t size = 0;
    void* data = lo_message_serialise(m.get(), message.path.c_str(), nullptr, &size);
    if (data == nullptr) return {};
    const auto* begin = static_cast<const std::uint8_t*>(data);
    std::vector<std::uint8_t> bytes(begin, begin + size);
    std::free(data);
    return bytes;
}

}  // namespace arvestra::osc
