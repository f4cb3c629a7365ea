// Decides what a request gets from the remote server, from its start line and headers alone:
// limits and method first (nothing else is looked at for a request that breaks them), then the
// path, the Origin of a socket, and last the access code. Plain logic, no network: the network
// side asks it about every request and does what it says.
#pragma once

#include <chrono>
#include <set>
#include <string>

#include "remote/CodeGate.h"

namespace arvestra::remote {

// What the network side saw of one request.
struct RequestFacts {
    std::string method;  // as sent, e.g. "GET"
    std::string target;  // path and query, e.g. "/?code=ABC"
    std::string host;    // the Host header
    std::string origin;  // the Origin header; empty when the request had none
    std::string cookie;  // the Cookie header
    std::string peer;    // the address the request came from
    bool hasBody = false;
    bool upgrade = false;  // asks for a WebSocket
};

enum class Resource { None, Page, Script, Style, Socket };
enum class Access { None, Full, ReadOnly };

struct Decision {
    int status = 200;  // 200 serve the resource (or accept the socket), otherwise refuse
    // What was asked for: set when served, and when refused for its code.
    Resource resource = Resource::None;
    Access access = Access::None;
    std::string text;       // the refusal's text
    std::string setCookie;  // a Set-Cookie value to send with the resource; empty: none
    // Refused for its code: a socket is told why with a close code, so its page stops retrying.
    bool codeRefused = false;
};

inline constexpr char kCodeCookie[] = "arvestra_code";

class AccessPolicy {
  public:
    // `secure`: the server speaks TLS, so the cookie is marked Secure and an Origin must be
    // https.
    explicit AccessPolicy(bool secure) : secure_(secure) {}

    // Codes for full control and for watching only; earlier codes are remembered as changed,
    // so a page still holding one is told so and is not counted as guessing.
    void SetCodes(const std::string& full, const std::string& readOnly);

    Decision Decide(const RequestFacts& request, CodeGate::Clock::time_point now);

  private:
    Decision Judge(const RequestFacts& request, Resource resource, CodeGate::Clock::time_point now);
    bool OriginMatches(const RequestFacts& request) const;

    bool secure_;
    std::string full_;
    std::string readOnly_;
    std::set<std::string> retired_;
    CodeGate gate_;
};

// The value of `name` in a query string or a Cookie header (empty when absent).
std::string QueryValue(const std::string& target, const std::string& name);
std::string CookieValue(const std::string& header, const std::string& name);

}  // namespace arvestra::remote
