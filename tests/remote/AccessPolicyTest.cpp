#include <gtest/gtest.h>

#include "remote/AccessPolicy.h"

namespace arvestra::remote {
namespace {

constexpr char kFull[] = "ABCDEFGHJK";
constexpr char kWatch[] = "MNPQRSTUVW";

RequestFacts Get(const std::string& target) {
    RequestFacts request;
    request.method = "GET";
    request.target = target;
    request.host = "192.168.1.20:8080";
    request.peer = "192.168.1.50";
    return request;
}

RequestFacts Socket(const std::string& target, const std::string& origin) {
    RequestFacts request = Get(target);
    request.upgrade = true;
    request.origin = origin;
    return request;
}

TEST(AccessPolicy, EachRequestGetsWhatItsHeaderDeserves) {
    struct Case {
        const char* what;
        RequestFacts request;
        int status;
        Resource resource;
        Access access;
    };
    RequestFacts withBody = Get(std::string("/?code=") + kFull);
    withBody.hasBody = true;
    RequestFacts post = withBody;
    post.method = "POST";
    RequestFacts cookie = Get("/page.js");
    cookie.cookie = std::string("a=b; arvestra_code=") + kFull + "; c=d";
    RequestFacts cookieSocket = Socket("/ws", "https://192.168.1.20:8080");
    cookieSocket.cookie = std::string("arvestra_code=") + kWatch;
    const Case cases[] = {
        {"page with code", Get(std::string("/?code=") + kFull), 200, Resource::Page, Access::Full},
        {"watching code", Get(std::string("/?x=1&code=") + kWatch), 200, Resource::Page,
         Access::ReadOnly},
        {"bookmark: cookie", cookie, 200, Resource::Script, Access::Full},
        {"socket: cookie", cookieSocket, 200, Resource::Socket, Access::ReadOnly},
        {"a body", withBody, 413, Resource::None, Access::None},
        {"POST", post, 405, Resource::None, Access::None},
        {"no code", Get("/"), 401, Resource::Page, Access::None},
        {"unknown path", Get(std::string("/admin?code=") + kFull), 404, Resource::None,
         Access::None},
        {"socket path without upgrade", Get(std::string("/ws?code=") + kFull), 426, Resource::None,
         Access::None},
        {"socket, own origin",
         Socket(std::string("/ws?code=") + kFull, "https://192.168.1.20:8080"), 200,
         Resource::Socket, Access::Full},
        {"socket, own origin upper case",
         Socket(std::string("/ws?code=") + kFull, "HTTPS://192.168.1.20:8080"), 200,
         Resource::Socket, Access::Full},
        {"socket, other site", Socket(std::string("/ws?code=") + kFull, "https://evil.example"),
         403, Resource::None, Access::None},
        {"socket, other port",
         Socket(std::string("/ws?code=") + kFull, "https://192.168.1.20:8081"), 403, Resource::None,
         Access::None},
        {"socket, plain origin",
         Socket(std::string("/ws?code=") + kFull, "http://192.168.1.20:8080"), 403, Resource::None,
         Access::None},
        {"socket, no code", Socket("/ws", "https://192.168.1.20:8080"), 401, Resource::Socket,
         Access::None},
    };
    for (const Case& c : cases) {
        AccessPolicy policy(true);
        policy.SetCodes(kFull, kWatch);
        const Decision decision = policy.Decide(c.request, CodeGate::Clock::now());
        EXPECT_EQ(decision.status, c.status) << c.what;
        EXPECT_EQ(decision.resource, c.resource) << c.what;
        EXPECT_EQ(decision.access, c.access) << c.what;
    }
}

TEST(AccessPolicy, OnlyAWrongCodeCountsAsAGuess) {
    AccessPolicy policy(false);
    policy.SetCodes(kFull, kWatch);
    const auto now = CodeGate::Clock::now();
    EXPECT_EQ(policy.Decide(Get("/"), now).status, 401);
    EXPECT_EQ(policy.Decide(Get("/favicon.ico"), now).status, 404);
    RequestFacts strange = Get("/");
    strange.method = "OPTIONS";
    EXPECT_EQ(policy.Decide(strange, now).status, 405);
    const Decision right = policy.Decide(Get(std::string("/?code=") + kFull), now);
    EXPECT_EQ(right.status, 200);
    EXPECT_EQ(right.setCookie,
              std::string("arvestra_code=") + kFull + "; Path=/; HttpOnly; SameSite=Strict");
    EXPECT_EQ(policy.Decide(Get("/?code=WRONGWRONG"), now).status, 403);
    EXPECT_EQ(policy.Decide(Get(std::string("/?code=") + kFull), now).status, 429);
    // Another address is not shut out.
    RequestFacts other = Get(std::string("/?code=") + kFull);
    other.peer = "192.168.1.51";
    EXPECT_EQ(policy.Decide(other, now).status, 200);
}

TEST(AccessPolicy, AnEarlierCodeIsToldItChangedWithoutCountingAsAGuess) {
    AccessPolicy policy(true);
    policy.SetCodes(kFull, kWatch);
    policy.SetCodes("23456789AB", "CDEFGHJKMN");
    const auto now = CodeGate::Clock::now();
    for (const char* old : {kFull, kWatch}) {
        const Decision decision = policy.Decide(Get(std::string("/?code=") + old), now);
        EXPECT_EQ(decision.status, 403);
        EXPECT_TRUE(decision.codeRefused);
        EXPECT_NE(decision.text.find("changed"), std::string::npos);
    }
    const Decision fresh = policy.Decide(Get("/?code=23456789AB"), now);
    EXPECT_EQ(fresh.status, 200);
    EXPECT_NE(fresh.setCookie.find("; Secure"), std::string::npos);
}

TEST(AccessPolicy, QueryAndCookieValuesAreFoundWhereverTheyStand) {
    EXPECT_EQ(QueryValue("/?code=X", "code"), "X");
    EXPECT_EQ(QueryValue("/?a=1&code=X&b=2", "code"), "X");
    EXPECT_EQ(QueryValue("/?xcode=X", "code"), "");
    EXPECT_EQ(QueryValue("/code=X", "code"), "");
    EXPECT_EQ(QueryValue("/?code=", "code"), "");
    EXPECT_EQ(CookieValue("arvestra_code=X", "arvestra_code"), "X");
    EXPECT_EQ(CookieValue("a=1;  arvestra_code=X; b=2", "arvestra_code"), "X");
    EXPECT_EQ(CookieValue("xarvestra_code=X", "arvestra_code"), "");
    EXPECT_EQ(CookieValue("", "arvestra_code"), "");
}

}  // namespace
}  // namespace arvestra::remote
