// The --port value: a COM name the port map resolves, a device path, tcp:HOST:PORT or
// rfc2217:HOST:PORT.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace arvestra::cli {

// Highest COM name the tool accepts; larger numbers are given as device paths.
inline constexpr int kHighestComPort = 4;
// The COM number a device path or TCP address is bound to through the port map.
inline constexpr int kPathPortNumber = 1;

// Where the link's port is: comNumber 1..4, and a path when the value was not a COM name.
struct PortSpec {
    int comNumber = kPathPortNumber;
    std::string path;  // empty for a COM name (the port map then resolves it)

    bool operator==(const PortSpec&) const = default;
};

// The parsed value, or a message saying what is wrong with it.
struct PortParse {
    std::optional<PortSpec> spec;
    std::string error;
};

// Parses a --port value: "COM1" to "COM4" (any letter case), "tcp:HOST:PORT" with a port 1 to
// 65535, or any other non-empty text as a device path.
PortParse ParsePortOption(std::string_view text);

}  // namespace arvestra::cli
