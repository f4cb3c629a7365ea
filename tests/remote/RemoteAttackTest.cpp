// The remote server tried as a stranger on the network would, on the loopback only and bounded
// in count and time: bodies, oversized headers and idle sockets cost nothing and keep no page
// out, a page that stops reading or answering is dropped, sockets from other sites and
// requests without a code are refused without shutting the phone out. The large attacks (1100
// sockets) run with ARVESTRA_ATTACK_TESTS=1.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QSslCertificate>
#include <QSslSocket>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "document/DocTestSupport.h"
#include "remote/RawClient.h"
#include "remote/RemoteServer.h"
#include "remote/RemoteTestSupport.h"

namespace arvestra::remote {
namespace {

using test::RawClient;
using test::StatusOf;

bool LargeAttacksWanted() {
    return qEnvironmentVariable("ARVESTRA_ATTACK_TESTS") == "1";
}

class RemoteAttackTest : public ::testing::Test {
  protected:
    // Short time-outs, so the tests stay short.
    static ServerLimits TestLimits() {
        ServerLimits limits;
        limits.headerTimeout = std::chrono::milliseconds(1500);
        limits.idleTimeout = std::chrono::milliseconds(1500);
        limits.maxQueuedBytes = 64 * 1024;
        return limits;
    }

    void Start(const ServerLimits& limits = TestLimits(), bool secure = false) {
        ServeOptions options;
        options.secure = secure;
        options.limits = limits;
        options.certificatePath = (config.path() + "/certificate.pem").toStdString();
        options.keyPath = (config.path() + "/key.pem").toStdString();
        server.SetOptions(options);
        QString error;
        ASSERT_TRUE(server.Start(QHostAddress::LocalHost, 0, &error)) << error.toStdString();
    }

    std::string Code() const { return server.Code().toStdString(); }

    // A whole exchange on a fresh connection: the response's status (0: none within 3 s).
    int Exchange(const std::string& request, std::string* response = nullptr) {
        RawClient client(server.Port());
        client.Send(request);
        const std::string received = client.ReceiveHeader(3000);
        if (response) *response = received;
        return StatusOf(received);
    }

    int GetPage(const std::string& query = "") {
        return Exchange("GET /" + query + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    }

    QTemporaryDir config;
    testing::DocBench bench;
    RemoteServer server{bench.doc};
};

TEST_F(RemoteAttackTest, BodiesAndOversizedHeadersAreRefusedBeforeTheCodeIsLookedAt) {
    Start();
    const std::string code = "?code=" + Code();
    const std::string host = "Host: 127.0.0.1\r\n";
    struct Case {
        std::string request;
        int status;
    };
    const Case cases[] = {
        {"POST /" + code + " HTTP/1.1\r\n" + host + "Content-Length: 2000000000\r\n\r\nxxxx", 405},
        {"GET /" + code + " HTTP/1.1\r\n" + host + "Content-Length: 2000000000\r\n\r\nxxxx", 413},
        {"GET /" + code + " HTTP/1.1\r\n" + host + "Content-Length: 5\r\n\r\nxxxxx", 413},
        {"GET / HTTP/1.1\r\n" + host + "Transfer-Encoding: chunked\r\n\r\n5\r\nxxxxx\r\n", 413},
        {"DELETE / HTTP/1.1\r\n" + host + "\r\n", 405},
        {"HEAD /" + code + " HTTP/1.1\r\n" + host + "\r\n", 405},
        {"GET / HTTP/1.1\r\n" + host + "Cookie: " + std::string(20000, 'x') + "\r\n\r\n", 431},
    };
    for (const Case& c : cases) {
        RawClient client(server.Port());
        client.Send(c.request);
        EXPECT_EQ(StatusOf(client.ReceiveHeader(3000)), c.status) << c.request.substr(0, 40);
        // The connection is not kept for a body that will not be read.
        if (c.status != 405 || c.request.find("Content-Length") != std::string::npos) {
            EXPECT_TRUE(client.WaitClosed(3000)) << c.request.substr(0, 40);
        }
    }
    // None of them was a guess.
    EXPECT_EQ(GetPage(code), 200);
}

TEST_F(RemoteAttackTest, AResponseCarriesNoReferrerAndACookieForTheBookmark) {
    Start();
    std::string response;
    ASSERT_EQ(Exchange("GET /?code=" + Code() + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", &response),
              200);
    EXPECT_NE(response.find("Referrer-Policy: no-referrer"), std::string::npos);
    EXPECT_NE(response.find("Set-Cookie: arvestra_code=" + Code() +
                            "; Path=/; HttpOnly; SameSite=Strict\r\n"),
              std::string::npos)
        << response;
    // A bookmark without the code: the cookie opens the page and its socket alike.
    const std::string cookie = "Cookie: other=1; arvestra_code=" + Code() + "\r\n";
    EXPECT_EQ(Exchange("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n" + cookie + "\r\n"), 200);
    RawClient socket(server.Port());
    socket.Send(test::UpgradeRequest("", cookie));
    EXPECT_EQ(StatusOf(socket.ReceiveHeader(3000)), 101);
    test::RunUntil([] { return false; }, 300);  // the document's side greets the page
    EXPECT_NE(socket.Receive(300).find("\"hello\""), std::string::npos);
}

TEST_F(RemoteAttackTest, ASocketWithoutACodeIsRefusedButIsNoGuess) {
    Start();
    RawClient bare(server.Port());
    bare.Send(test::UpgradeRequest("", ""));
    ASSERT_EQ(StatusOf(bare.ReceiveHeader(3000)), 101);
    // Closed at once with "policy" and the reason, so the page can say why and stop retrying.
    const std::string closing = bare.Receive(1000);
    ASSERT_GE(closing.size(), 4U);
    EXPECT_EQ(static_cast<unsigned char>(closing[0]), 0x88);
    EXPECT_EQ(
        (static_cast<unsigned char>(closing[2]) << 8) | static_cast<unsigned char>(closing[3]),
        1008);
    EXPECT_NE(closing.find("access code"), std::string::npos);
    // The right code at once is let in.
    test::PageClient page(server.Port(), server.Code());
    EXPECT_TRUE(page.WaitFor("state"));
}

TEST_F(RemoteAttackTest, ASocketFromAnotherSiteIsRefused) {
    Start();
    const std::string query = "?code=" + Code();
    struct Case {
        std::string origin;
        int status;
    };
    const Case cases[] = {
        {"Origin: http://evil.example\r\n", 403},
        {"Origin: http://127.0.0.1.evil.example\r\n", 403},
        {"Origin: https://127.0.0.1\r\n", 403},  // the page here is plain HTTP
        {"Origin: null\r\n", 403},
        {"Origin: http://127.0.0.1\r\n", 101},
        {"", 101},  // programs other than browsers send none
    };
    for (const Case& c : cases) {
        RawClient socket(server.Port());
        socket.Send(test::UpgradeRequest(query, c.origin));
        EXPECT_EQ(StatusOf(socket.ReceiveHeader(3000)), c.status) << c.origin;
    }
}

TEST_F(RemoteAttackTest, IdleSocketsKeepNoPageOut) {
    // Beyond the connection limit: the newest take the places of the oldest idle ones.
    const int count = LargeAttacksWanted() ? 1100 : 200;
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &files);
    ServerLimits limits = TestLimits();
    limits.headerTimeout = std::chrono::seconds(30);  // they must not simply time out
    Start(limits);
    std::vector<std::unique_ptr<RawClient>> idle;
    for (int i = 0; i < count; ++i) {
        idle.push_back(std::make_unique<RawClient>(server.Port()));
        if (i % 2) idle.back()->Send("GET /?code=" + Code() + " HTTP/1.1\r\nHo");  // half sent
    }
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(GetPage("?code=" + Code()), 200);
    test::PageClient page(server.Port(), server.Code());
    EXPECT_TRUE(page.WaitFor("state", {}, nullptr, 5000));
    EXPECT_LT(timer.elapsed(), 5000);
    std::printf("%d idle sockets: a coded page and its socket in %lld ms\n", count,
                static_cast<long long>(timer.elapsed()));
}

TEST_F(RemoteAttackTest, AnIdleConnectionIsClosedAfterTheHeaderTimeout) {
    Start();
    RawClient idle(server.Port());
    idle.Send("GET / HTTP/1.1\r\nHo");
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(idle.WaitClosed(5000));
    EXPECT_GE(timer.elapsed(), 1000);
}

TEST_F(RemoteAttackTest, APageThatStopsReadingIsDropped) {
    ServerLimits limits = TestLimits();
    limits.pingTimeout = std::chrono::seconds(60);  // only the queue can drop it
    Start(limits);
    test::PageClient bystander(server.Port(), server.Code());
    ASSERT_TRUE(bystander.WaitFor("state"));
    RawClient stalled(server.Port(), 4096);
    stalled.Send(test::UpgradeRequest("?code=" + Code(), ""));
    ASSERT_EQ(StatusOf(stalled.ReceiveHeader(3000)), 101);
    ASSERT_TRUE(test::RunUntil([&] { return server.ClientCount() == 2; }));
    // Every change sends the whole state (with its curves) to every page.
    for (int i = 0; i < 400 && server.ClientCount() == 2; ++i) {
        stalled.Send(test::MaskedTextFrame(
            QStringLiteral(R"({"t":"set","field":"eq.graphic_gain","ch":0,"i":3,"code":%1})")
                .arg(i % 2 ? 10 : 50)
                .toStdString()));
        test::RunUntil([] { return false; }, 5);
    }
    EXPECT_TRUE(test::RunUntil([&] { return server.ClientCount() == 1; }, 5000));
    EXPECT_FALSE(bystander.Closed());
}

TEST_F(RemoteAttackTest, APageThatStopsAnsweringIsDroppedAfterThePingTimeout) {
    ServerLimits limits = TestLimits();
    limits.pingTimeout = std::chrono::milliseconds(800);
    Start(limits);
    RawClient silent(server.Port());
    silent.Send(test::UpgradeRequest("?code=" + Code(), ""));
    ASSERT_EQ(StatusOf(silent.ReceiveHeader(3000)), 101);
    ASSERT_TRUE(test::RunUntil([&] { return server.ClientCount() == 1; }));
    // A real page answers the pings and stays.
    test::PageClient alive(server.Port(), server.Code());
    ASSERT_TRUE(alive.WaitFor("state"));
    EXPECT_TRUE(test::RunUntil([&] { return server.ClientCount() == 1; }, 4000));
    test::RunUntil([] { return false; }, 1000);
    EXPECT_FALSE(alive.Closed());
}

TEST_F(RemoteAttackTest, OverTlsTheCertificateIsMadeOnceAndItsFingerprintShown) {
    Start(TestLimits(), true);
    QFile certificateFile(config.path() + "/certificate.pem");
    ASSERT_TRUE(certificateFile.open(QIODevice::ReadOnly));
    const QSslCertificate certificate(certificateFile.readAll());
    const QString digest =
        QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper());
    EXPECT_EQ(server.Fingerprint(), digest);
    EXPECT_EQ(QFile(config.path() + "/key.pem").permissions() &
                  (QFileDevice::ReadGroup | QFileDevice::ReadOther),
              QFileDevice::Permissions());
    EXPECT_TRUE(server.PageAddress().startsWith("https://"));

    test::PageClient page(server.Port(), server.Code(), true);
    EXPECT_TRUE(page.WaitFor("state"));
    QSslSocket https;
    https.setPeerVerifyMode(QSslSocket::VerifyNone);
    https.connectToHostEncrypted("127.0.0.1", server.Port());
    ASSERT_TRUE(test::RunUntil([&] { return https.isEncrypted(); }));
    https.write(QStringLiteral("GET /?code=%1 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")
                    .arg(server.Code())
                    .toLatin1());
    QByteArray response;
    test::RunUntil([&] {
        response += https.readAll();
        return response.contains("\r\n\r\n");
    });
    EXPECT_TRUE(response.startsWith("HTTP/1.1 200"));
    EXPECT_TRUE(response.contains("SameSite=Strict; Secure\r\n")) << response.toStdString();
    // Plain HTTP on the encrypted port gets nothing.
    EXPECT_EQ(GetPage("?code=" + Code()), 0);

    // Started again, the same certificate.
    server.Stop();
    Start(TestLimits(), true);
    EXPECT_EQ(server.Fingerprint(), digest);
}

}  // namespace
}  // namespace arvestra::remote
