// A client that speaks raw HTTP on a loopback socket, as an attacker would: bytes exactly as
// given, no politeness, and the socket held open or left unread on purpose.
#pragma once

#include <string>

namespace arvestra::test {

class RawClient {
  public:
    // Connects to 127.0.0.1:port; `receiveBuffer` > 0 shrinks the socket's receive buffer
    // first (a page that stops reading fills it quickly).
    explicit RawClient(unsigned short port, int receiveBuffer = 0);
    ~RawClient();
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool Connected() const { return fd_ >= 0; }
    // Sends all of `bytes`; false when the server has closed or reset the connection.
    bool Send(const std::string& bytes);
    // What arrives until the server closes or `timeoutMs` passes without a byte.
    std::string Receive(int timeoutMs);
    // What arrives until the end of a response header (or the time-out).
    std::string ReceiveHeader(int timeoutMs);
    // True when the server has closed the connection (reading ends or is reset within the
    // time), draining what it sent.
    bool WaitClosed(int timeoutMs);

  private:
    int fd_ = -1;
};

// The status code of an HTTP response ("HTTP/1.1 413 ..." gives 413; 0 for anything else).
int StatusOf(const std::string& response);

// A WebSocket upgrade request for /ws with the given extra header lines ("Name: value\r\n").
std::string UpgradeRequest(const std::string& query, const std::string& extraHeaders);

// One masked text frame, as a browser sends it.
std::string MaskedTextFrame(const std::string& text);

}  // namespace arvestra::test
