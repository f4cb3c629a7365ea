#pragma once

#include <string>

namespace arvestra {

// Connecting to a network serial server, shared by the raw TCP and the Telnet COM port transports.

// True when `path` starts with `scheme` (given in lower case), in any letter case.
bool HasScheme(const std::string& path, const std::string& scheme);

// Splits "<scheme>HOST:PORT" ("<scheme>[::1]:PORT" for IPv6) into host and numeric service;
// false when the path does not start with `scheme` or is malformed.
bool SplitHostPort(const std::string& path, const std::string& scheme, std::string& host,
                   std::string& service);

// Connects a non-blocking, close-on-exec TCP socket with TCP_NODELAY to host:service, trying
// each address in turn for at most `waitMs` each. 0 and the descriptor in fdOut, or the system
// error of the last attempt.
int ConnectTcp(const std::string& host, const std::string& service, int waitMs, int& fdOut);

}  // namespace arvestra
