#include <gtest/gtest.h>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <thread>

#include "document/DocTestSupport.h"
#include "remote/RemoteServer.h"
#include "remote/RemoteTestSupport.h"

namespace arvestra::remote {
namespace {

using test::PageClient;
using test::StateCode;

class RemoteServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ServeOptions plain;
        plain.secure = false;
        server.SetOptions(plain);
        QString error;
        ASSERT_TRUE(server.Start(QHostAddress::LocalHost, 0, &error)) << error.toStdString();
    }

    std::unique_ptr<PageClient> Connect(const QString& code) {
        auto client = std::make_unique<PageClient>(server.Port(), code);
        EXPECT_TRUE(client->WaitConnected());
        return client;
    }
    std::unique_ptr<PageClient> ConnectReady() {
        auto client = Connect(server.Code());
        EXPECT_TRUE(client->WaitFor("state"));
        return client;
    }

    // GET of a path; the status code, and the body in `body`.
    int Get(const QString& path, QByteArray* body = nullptr) {
        QNetworkAccessManager manager;
        QNetworkReply* reply = manager.get(QNetworkRequest(
            QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server.Port()).arg(path))));
        test::RunUntil([reply] { return reply->isFinished(); });
        if (body) *body = reply->readAll();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        reply->deleteLater();
        return status;
    }

    testing::DocBench bench;
    RemoteServer server{bench.doc};
};

TEST_F(RemoteServerTest, TheAddressCarriesPortAndCode) {
    EXPECT_EQ(server.PageAddress(),
              QStringLiteral("http://127.0.0.1:%1/?code=%2").arg(server.Port()).arg(server.Code()));
    server.Stop();
    EXPECT_TRUE(server.PageAddress().isEmpty());
}

TEST_F(RemoteServerTest, APageGetsHelloStateAndMeters) {
    auto client = Connect(server.Code());
    QJsonObject hello, state;
    ASSERT_TRUE(client->WaitFor("hello", {}, &hello));
    ASSERT_TRUE(client->WaitFor("state", {}, &state));
    ASSERT_TRUE(client->WaitFor("meters"));
    EXPECT_EQ(hello.value("scales").toObject().value("graphic_gain").toArray().size(), 61);
    const int points = hello.value("frequencies").toArray().size();
    EXPECT_GT(points, 100);
    EXPECT_EQ(state.value("address").toInt(), 1);
    EXPECT_EQ(state.value("ch").toArray().size(), 2);
    EXPECT_EQ(state.value("presets").toArray().size(), 8);
    ASSERT_EQ(state.value("resp").toArray().size(), 2);
    EXPECT_EQ(state.value("resp").toArray().at(0).toArray().size(), points);
    EXPECT_EQ(server.ClientCount(), 1);
}

TEST_F(RemoteServerTest, AChangeReachesTheDocumentAndEveryPage) {
    auto first = ConnectReady();
    auto second = ConnectReady();
    first->Send(QJsonObject{
        {"t", "set"}, {"field", "eq.graphic_gain"}, {"ch", 1}, {"i", 7}, {"code", 999}});
    for (PageClient* page : {first.get(), second.get()}) {
        EXPECT_TRUE(page->WaitFor("state", [](const QJsonObject& s) {
            return StateCode(s, 1, "eq.graphic_gain", 7) == 60;
        }));
    }
    EXPECT_EQ(bench.doc.Edits().Get(ParamField::EqGraphicGain, kChannelB, 7), 60);
}

TEST_F(RemoteServerTest, AnEditMadeInTheEditorReachesThePages) {
    auto page = ConnectReady();
    bench.doc.Edits().Set(ParamField::OutputLevel, kChannelA, 170);
    EXPECT_TRUE(page->WaitFor(
        "state", [](const QJsonObject& s) { return StateCode(s, 0, "output.level") == 170; },
        nullptr, 1000));
}

// The edit buffer announces an edit on the thread that made it; the server sends the state from
// its own.
TEST_F(RemoteServerTest, AnEditAnnouncedOnAnotherThreadReachesThePages) {
    auto page = ConnectReady();
    std::thread([this] {
        bench.doc.Edits().Set(ParamField::InputLevel, kChannelB, 0, 200);
    }).join();
    EXPECT_TRUE(page->WaitFor(
        "state", [](const QJsonObject& s) { return StateCode(s, 1, "input.level") == 200; },
        nullptr, 1000));
}

// What no edit announces still reaches the pages: a bypass, another device, its new name.
TEST_F(RemoteServerTest, ABypassAndAnotherDeviceChosenInTheEditorReachThePages) {
    ASSERT_EQ(bench.doc.AddDevice(5), 5);
    bench.doc.SelectDevice(1);
    auto page = ConnectReady();
    ASSERT_EQ(bench.doc.SetBypass(kChannelB, true), 1);
    EXPECT_TRUE(page->WaitFor(
        "state", [](const QJsonObject& s) { return s.value("bypass").toArray().at(1).toBool(); },
        nullptr, 1000));
    bench.doc.SelectDevice(5);
    EXPECT_TRUE(page->WaitFor(
        "state", [](const QJsonObject& s) { return s.value("address").toInt() == 5; }, nullptr,
        1000));
    ASSERT_EQ(bench.doc.SetDeviceName("Balcony"), 1);
    EXPECT_TRUE(page->WaitFor(
        "state",
        [](const QJsonObject& s) {
            for (const QJsonValue& device : s.value("devices").toArray()) {
                if (device.toObject().value("name").toString() == "Balcony") return true;
            }
            return false;
        },
        nullptr, 1000));
}

TEST_F(RemoteServerTest, TwoPagesMovingOneControlEndWithTheLastValueEverywhere) {
    auto first = ConnectReady();
    auto second = ConnectReady();
    for (int code = 0; code < 20; ++code) {
        PageClient* page = code % 2 ? second.get() : first.get();
        page->Send(QJsonObject{
            {"t", "set"}, {"field", "eq.param_gain"}, {"ch", 0}, {"i", 2}, {"code", code}});
    }
    second->Send(
        QJsonObject{{"t", "set"}, {"field", "eq.param_gain"}, {"ch", 0}, {"i", 2}, {"code", 77}});
    for (PageClient* page : {first.get(), second.get()}) {
        EXPECT_TRUE(page->WaitFor("state", [](const QJsonObject& s) {
            return StateCode(s, 0, "eq.param_gain", 2) == 77;
        }));
    }
    EXPECT_EQ(bench.doc.Edits().Get(ParamField::EqParamGain, kChannelA, 2), 77);
}

TEST_F(RemoteServerTest, AWrongCodeIsRefusedAndShutsTheAddressOut) {
    auto wrong = Connect("WRONGCODE9");
    ASSERT_TRUE(wrong->WaitClosed());
    EXPECT_EQ(wrong->CloseCode(), QWebSocketProtocol::CloseCodePolicyViolated);
    EXPECT_EQ(wrong->Count("state"), 0);
    // During the pause even the right code is refused.
    auto right = Connect(server.Code());
    ASSERT_TRUE(right->WaitClosed());
    EXPECT_EQ(right->Count("state"), 0);
    EXPECT_EQ(server.ClientCount(), 0);
}

TEST_F(RemoteServerTest, MalformedAndOversizedMessagesCloseOnlyTheirSocket) {
    const int before = bench.doc.Edits().Get(ParamField::EqGraphicGain, kChannelA, 0);
    const QString oversized =
        QStringLiteral(R"({"t":"set","field":"eq.graphic_gain","ch":0,"i":0,"code":5,"pad":"%1"})")
            .arg(QString(RemoteServer::kMaxMessageBytes, 'x'));
    const QString cases[] = {
        "garbage",
        R"({"t":"set","field":"eq.source","ch":0,"code":3})",
        R"({"t":"set","field":"eq.graphic_gain","ch":0,"i":0,"code":5.5})",
        oversized,
    };
    auto bystander = ConnectReady();
    for (const QString& message : cases) {
        auto page = ConnectReady();
        page->Send(message);
        EXPECT_TRUE(page->WaitClosed()) << message.left(60).toStdString();
        EXPECT_EQ(bench.doc.Edits().Get(ParamField::EqGraphicGain, kChannelA, 0), before);
    }
    EXPECT_FALSE(bystander->Closed());
    EXPECT_EQ(server.ClientCount(), 1);
    EXPECT_FALSE(bench.doc.Devices().PresetModified());
}

TEST_F(RemoteServerTest, ARefusedOperationIsReportedToItsPage) {
    auto page = ConnectReady();
    page->Send(QJsonObject{{"t", "device"}, {"address", 99}});
    QJsonObject error;
    ASSERT_TRUE(page->WaitFor("error", {}, &error));
    EXPECT_FALSE(error.value("text").toString().isEmpty());
    EXPECT_FALSE(page->Closed());
}

TEST_F(RemoteServerTest, CommandsWaitUntilTheDocumentIsFree) {
    auto page = ConnectReady();
    bool busy = true;
    server.SetBusyCheck([&busy] { return busy; });
    const QJsonObject set{
        {"t", "set"}, {"field", "eq.graphic_gain"}, {"ch", 0}, {"i", 4}, {"code", 44}};
    page->Send(set);
    QJsonObject error;
    ASSERT_TRUE(page->WaitFor("error", {}, &error));
    EXPECT_TRUE(error.value("text").toString().contains("busy"));
    EXPECT_NE(bench.doc.Edits().Get(ParamField::EqGraphicGain, kChannelA, 4), 44);
    busy = false;
    page->Send(set);
    EXPECT_TRUE(page->WaitFor(
        "state", [](const QJsonObject& s) { return StateCode(s, 0, "eq.graphic_gain", 4) == 44; }));
}

TEST_F(RemoteServerTest, PagesBeyondTheLimitAreTurnedAway) {
    std::vector<std::unique_ptr<PageClient>> pages;
    for (int i = 0; i < RemoteServer::kMaxClients; ++i) pages.push_back(ConnectReady());
    auto extra = Connect(server.Code());
    EXPECT_TRUE(extra->WaitClosed());
    EXPECT_EQ(server.ClientCount(), RemoteServer::kMaxClients);
}

TEST_F(RemoteServerTest, ThePageIsServedOnlyWithTheCode) {
    QByteArray body;
    EXPECT_EQ(Get("/?code=" + server.Code(), &body), 200);
    EXPECT_TRUE(body.contains("<canvas id=\"geq\""));
    EXPECT_EQ(Get("/page.js?code=" + server.Code(), &body), 200);
    EXPECT_LT(body.size(), 200 * 1024);
    EXPECT_EQ(Get("/../../etc/passwd?code=" + server.Code()), 404);
    EXPECT_EQ(Get("/remote.qrc?code=" + server.Code()), 404);
    EXPECT_EQ(Get("/ws?code=" + server.Code()), 426);
    // No code is refused but is no guess: the right code still opens the page at once.
    EXPECT_EQ(Get("/"), 401);
    EXPECT_EQ(Get("/?code=" + server.Code()), 200);
    EXPECT_EQ(Get("/?code=WRONGCODE9"), 403);
    // The wrong code shut this address out for a while.
    EXPECT_EQ(Get("/?code=" + server.Code()), 429);
}

TEST_F(RemoteServerTest, AReadOnlyPageWatchesButChangesNothing) {
    auto watcher = Connect(server.ReadOnlyCode());
    QJsonObject hello;
    ASSERT_TRUE(watcher->WaitFor("hello", {}, &hello));
    EXPECT_TRUE(hello.value("readonly").toBool());
    ASSERT_TRUE(watcher->WaitFor("meters"));
    const int before = bench.doc.Edits().Get(ParamField::OutputLevel, kChannelA);
    watcher->Send(QJsonObject{{"t", "set"}, {"field", "output.level"}, {"ch", 0}, {"code", 170}});
    QJsonObject error;
    ASSERT_TRUE(watcher->WaitFor("error", {}, &error));
    EXPECT_EQ(bench.doc.Edits().Get(ParamField::OutputLevel, kChannelA), before);
    // It follows what others change.
    auto controller = ConnectReady();
    controller->Send(
        QJsonObject{{"t", "set"}, {"field", "output.level"}, {"ch", 0}, {"code", 171}});
    EXPECT_TRUE(watcher->WaitFor(
        "state", [](const QJsonObject& s) { return StateCode(s, 0, "output.level") == 171; }));
}

TEST_F(RemoteServerTest, ANewCodeDropsEveryPageAndTheOldCodeIsNoGuess) {
    auto page = ConnectReady();
    const QString old = server.Code();
    server.NewCodes();
    EXPECT_NE(server.Code(), old);
    ASSERT_TRUE(page->WaitClosed());
    EXPECT_EQ(page->CloseCode(), QWebSocketProtocol::CloseCodePolicyViolated);
    EXPECT_EQ(server.ClientCount(), 0);
    // A phone still holding the old code is told so and is not shut out.
    auto stale = Connect(old);
    ASSERT_TRUE(stale->WaitClosed());
    EXPECT_TRUE(stale->CloseReason().contains("changed"));
    auto fresh = ConnectReady();
    EXPECT_EQ(server.ClientCount(), 1);
}

TEST_F(RemoteServerTest, TheEditorListsDropsAndLogsPages) {
    QTemporaryDir dir;
    server.SetLogPath((dir.path() + "/changes.log").toStdString());
    auto page = ConnectReady();
    ASSERT_EQ(server.Pages().size(), 1U);
    const PageInfo info = server.Pages().front();
    EXPECT_EQ(info.peer, "127.0.0.1");
    EXPECT_TRUE(info.lastChange.isNull());
    page->Send(QJsonObject{
        {"t", "set"}, {"field", "eq.graphic_gain"}, {"ch", 1}, {"i", 12}, {"code", 21}});
    ASSERT_TRUE(page->WaitFor("state", [](const QJsonObject& s) {
        return StateCode(s, 1, "eq.graphic_gain", 12) == 21;
    }));
    EXPECT_FALSE(server.Pages().front().lastChange.isNull());
    QFile log(dir.path() + "/changes.log");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString line = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(
        line.contains(QStringLiteral("127.0.0.1#%1 ch2.eq.graphic_gain[13]=21").arg(info.id)))
        << line.toStdString();
    server.DropPage(info.id);
    EXPECT_TRUE(page->WaitClosed());
    EXPECT_EQ(server.ClientCount(), 0);
}

TEST_F(RemoteServerTest, AStoredNameIsCutAndCleanedBeforeTheDevice) {
    auto page = ConnectReady();
    const QString typed = QStringLiteral("Sunday\n\x1b[31mshow") + QString(40, 'x');
    page->Send(QJsonObject{{"t", "store"}, {"preset", 2}, {"name", typed}});
    ASSERT_TRUE(page->WaitFor("state", [](const QJsonObject& s) {
        return s.value("presets").toArray().at(1).toString().startsWith("Sunday");
    }));
    const std::string stored = bench.doc.Devices().GetPresetName(2);
    EXPECT_EQ(stored.substr(0, 18), "Sunday[31mshowxxxx");
    EXPECT_EQ(stored.find_first_of("\n\x1b"), std::string::npos);
}

}  // namespace
}  // namespace arvestra::remote
