#pragma once

#include <cstdint>

#include "link/SerialPort.h"

namespace arvestra {

// Byte transfers on a non-blocking descriptor with poll, shared by the tty and TCP ports.

// How the bytes leave: write(2) for terminals, send(2) without SIGPIPE for sockets.
enum class FdKind { Terminal, Socket };

// The read limit the time-outs give for `count` bytes in ms, or -1 for none.
int ReadLimitMs(const PortTimeouts& timeouts, int count);

// Writes all `count` bytes, waiting for room, for at most waitMs.
IoResult WriteWithDeadline(int fd, FdKind kind, const std::uint8_t* bytes, int count, int waitMs);

// Reads until `count` bytes are in (Completed), until readLimitMs passes (Completed, short) or
// until waitMs passes first (TimedOut, 258). A failure before any byte is StartFailed; after some
// bytes it ends the read short with the error kept.
IoResult ReadWithDeadline(int fd, FdKind kind, std::uint8_t* buffer, int count, int readLimitMs,
                          int waitMs);

// Drops whatever input is already waiting.
void DiscardInput(int fd, FdKind kind);

}  // namespace arvestra
