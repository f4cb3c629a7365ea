// "arvestra-cli serve" as a program against the simulator: a page's change reaches the device
// live, and the file saved at the end holds what the device then holds.
#include <gtest/gtest.h>
#include <QElapsedTimer>

#include "model/ParamField.h"
#include "remote/ServeSupport.h"

namespace arvestra::remote {
namespace {

using cli_it::SavedLocation;
using cli_it::SimulatedBus;
using cli_it::TestDirectory;

TEST(ServeVerb, APageChangeGoesLiveAndIsSavedOnExit) {
    TestDirectory dir;
    SimulatedBus bus(dir, "1,3");
    ASSERT_FALSE(bus.Port().empty());
    const std::string file = dir.File("served.kvx");

    QProcess serve;
    const QUrl page = test::StartServe(serve, bus, file, {"--address", "3"});
    ASSERT_EQ(page.scheme(), "http") << serve.readAllStandardError().toStdString();
    const QString code = test::CodeOf(page);
    ASSERT_FALSE(code.isEmpty());

    test::PageClient client(static_cast<quint16>(page.port()), code);
    ASSERT_TRUE(client.WaitConnected());
    ASSERT_TRUE(client.WaitFor("state"));
    const int offset = FieldOffset(ParamField::EqGraphicGain, kChannelA, 12);
    QElapsedTimer touch;
    touch.start();
    client.Send(QJsonObject{
        {"t", "set"}, {"field", "eq.graphic_gain"}, {"ch", 0}, {"i", 12}, {"code", 21}});
    ASSERT_TRUE(test::RunUntil([&] { return test::BusHasWrite(bus, 3, offset, 21); }, 5000));
    std::printf("touch to frame at the simulator: %lld ms\n",
                static_cast<long long>(touch.elapsed()));
    EXPECT_TRUE(client.WaitFor("state", [](const QJsonObject& s) {
        return test::StateCode(s, 0, "eq.graphic_gain", 12) == 21;
    }));

    ASSERT_TRUE(test::StopServe(serve)) << serve.readAllStandardError().toStdString();
    const SavedLocation saved(file);
    EXPECT_EQ(saved.Addresses(), (std::vector<int>{1, 3}));
    EXPECT_EQ(saved.Image(3, 0)[static_cast<std::size_t>(offset)], 21);
}

TEST(ServeVerb, AnAddressThatIsNotOneIsAUsageError) {
    QProcess serve;
    serve.start(ARVESTRA_CLI_PATH, {"serve", "no-file.kvx", "--http", "venue-pc:8080"});
    ASSERT_TRUE(serve.waitForFinished(20000));
    EXPECT_EQ(serve.exitCode(), 2);
    EXPECT_TRUE(serve.readAllStandardError().contains("not an IP address"));
}

}  // namespace
}  // namespace arvestra::remote
