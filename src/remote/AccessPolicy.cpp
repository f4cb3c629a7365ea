#include "remote/AccessPolicy.h"

#include <algorithm>
#include <cctype>

#include "remote/AccessCode.h"

namespace arvestra::remote {

namespace {

// Remembered earlier codes at most (each "new code" adds two).
constexpr std::size_t kMaxRetiredCodes = 64;

Decision Refuse(int status, std::string text) {
    Decision decision;
    decision.status = status;
    decision.text = std::move(text);
    return decision;
}

Decision RefuseCode(int status, std::string text) {
    Decision decision = Refuse(status, std::move(text));
    decision.codeRefused = true;
    return decision;
}

Resource ResourceAt(const std::string& path) {
    if (path == "/" || path == "/index.html") return Resource::Page;
    if (path == "/page.js") return Resource::Script;
    if (path == "/page.css") return Resource::Style;
    if (path == "/ws") return Resource::Socket;
    return Resource::None;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool Matches(const std::string& expected, const std::string& offered) {
    return CodesMatch(QString::fromStdString(expected), QString::fromStdString(offered));
}

}  // namespace

std::string QueryValue(const std::string& target, const std::string& name) {
    const std::size_t question = target.find('?');
    if (question == std::string::npos) return {};
    std::size_t at = question + 1;
    while (at <= target.size()) {
        std::size_t end = target.find('&', at);
        if (end == std::string::npos) end = target.size();
        const std::string item = target.substr(at, end - at);
        if (item.compare(0, name.size() + 1, name + '=') == 0) return item.substr(name.size() + 1);
        at = end + 1;
    }
    return {};
}

std::string CookieValue(const std::string& header, const std::string& name) {
    std::size_t at = 0;
    while (at < header.size()) {
        std::size_t end = header.find(';', at);
        if (end == std::string::npos) end = header.size();
        std::size_t first = at;
        while (first < end && header[first] == ' ') ++first;
        if (header.compare(first, name.size() + 1, name + '=') == 0) {
            return header.substr(first + name.size() + 1, end - first - name.size() - 1);
        }
        at = end + 1;
    }
    return {};
}

void AccessPolicy::SetCodes(const std::string& full, const std::string& readOnly) {
    for (const std::string& old : {full_, readOnly_}) {
        if (old.empty()) continue;
        if (retired_.size() >= kMaxRetiredCodes) retired_.erase(retired_.begin());
        retired_.insert(old);
    }
    full_ = full;
    readOnly_ = readOnly;
}

Decision AccessPolicy::Decide(const RequestFacts& request, CodeGate::Clock::time_point now) {
    // Nothing here takes a body: a request that brings one is answered and its connection
    // closed (as after every refusal) without reading it.
    if (request.method != "GET") return Refuse(405, "Only GET is served.");
    if (request.hasBody) return Refuse(413, "A request here carries no body.");
    const std::string path = request.target.substr(0, request.target.find('?'));
    const Resource resource = ResourceAt(path);
    if (resource == Resource::None) return Refuse(404, "Not found.");
    if (resource == Resource::Socket && !request.upgrade) {
        return Refuse(426, "This address is for the page's WebSocket.");
    }
    // A page of another site must not open a socket with the cookie of this one.
    if (resource == Resource::Socket && !OriginMatches(request)) {
        return Refuse(403, "The socket is only for this server's own page.");
    }
    Decision decision = Judge(request, resource, now);
    if (decision.codeRefused) decision.resource = resource;  // a socket is told why
    return decision;
}

Decision AccessPolicy::Judge(const RequestFacts& request, Resource resource,
                             CodeGate::Clock::time_point now) {
    const std::string fromQuery = QueryValue(request.target, "code");
    const std::string offered =
        !fromQuery.empty() ? fromQuery : CookieValue(request.cookie, kCodeCookie);
    // Another site's image or a neighbour's stray request carries no code: refused, but it is
    // no guess.
    if (offered.empty()) {
        return RefuseCode(401,
                          "This page needs its access code: scan the QR code the editor shows.");
    }
    const Access access = Matches(full_, offered)       ? Access::Full
                          : Matches(readOnly_, offered) ? Access::ReadOnly
                                                        : Access::None;
    if (access == Access::None && retired_.count(offered) != 0) {
        return RefuseCode(403, "The access code has changed: scan the new QR code.");
    }
    const GateVerdict verdict = gate_.Judge(request.peer, access != Access::None, now);
    if (verdict == GateVerdict::ShutOut) {
        return RefuseCode(429, "Too many wrong access codes; try again later.");
    }
    if (verdict == GateVerdict::WrongCode) return RefuseCode(403, "Wrong access code.");
    Decision decision;
    decision.resource = resource;
    decision.access = access;
    // The page's files, its socket and a bookmark without the code carry it from here on.
    decision.setCookie = std::string(kCodeCookie) + '=' + offered +
                         "; Path=/; HttpOnly; SameSite=Strict" + (secure_ ? "; Secure" : "");
    return decision;
}

bool AccessPolicy::OriginMatches(const RequestFacts& request) const {
    // Programs other than browsers send no Origin; browsers always do, and there it must name
    // the host the page was loaded from.
    if (request.origin.empty()) return true;
    const std::string expected = std::string(secure_ ? "https://" : "http://") + request.host;
    return Lower(request.origin) == Lower(expected);
}

}  // namespace arvestra::remote
