// "arvestra-cli serve" as a program against the simulator: a page's change reaches the device
// live, and the file saved at the end holds what the device then holds.
#include <gtest/gtest.h>
#include <QElapsedTimer>

#include <QFile>
#include <QStandardPaths>

#include "document/RecoveryStore.h"
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

// The line after the address that starts with `prefix`, without it (empty when none came).
QString LineStartingWith(QProcess& serve, const QString& prefix) {
    QString found;
    test::RunUntil([&] {
        while (found.isEmpty() && serve.canReadLine()) {
            const QString line = QString::fromUtf8(serve.readLine()).trimmed();
            if (line.startsWith(prefix)) found = line.mid(prefix.size());
        }
        return !found.isEmpty();
    });
    return found;
}

TEST(ServeVerb, OverHttpsItShowsTheFingerprintAndWritesTheQrCode) {
    TestDirectory dir;
    SimulatedBus bus(dir, "1");
    ASSERT_FALSE(bus.Port().empty());
    const QString png = QString::fromStdString(dir.File("pair.png"));
    QProcess serve;
    const QUrl page = test::StartServe(serve, bus, dir.File("secure.kvx"), {"--qr", png}, true);
    ASSERT_EQ(page.scheme(), "https") << serve.readAllStandardError().toStdString();
    const QString watch = LineStartingWith(serve, "watch only: ");
    EXPECT_TRUE(watch.startsWith(QStringLiteral("https://127.0.0.1:%1/?code=").arg(page.port())));
    EXPECT_NE(watch, page.toString());
    EXPECT_EQ(LineStartingWith(serve, "certificate SHA-256 fingerprint: ").size(), 32 * 3 - 1);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(dir.File("config/arvestra/remote-key.pem"))));

    test::PageClient client(static_cast<quint16>(page.port()), test::CodeOf(page), true);
    EXPECT_TRUE(client.WaitFor("state"));
    ASSERT_TRUE(QFile::exists(png));
    if (!QStandardPaths::findExecutable("zbarimg").isEmpty()) {
        QProcess reader;
        reader.start("zbarimg", {"--raw", "-q", png});
        ASSERT_TRUE(reader.waitForFinished(20000));
        EXPECT_EQ(QString::fromUtf8(reader.readAllStandardOutput()).trimmed(), page.toString());
    }
    EXPECT_TRUE(test::StopServe(serve));
}

TEST(ServeVerb, AKilledServeLeavesItsEditsToRecover) {
    TestDirectory dir;
    SimulatedBus bus(dir, "1");
    ASSERT_FALSE(bus.Port().empty());
    const std::string file = dir.File("killed.kvx");
    QProcess serve;
    const QUrl page = test::StartServe(serve, bus, file);
    ASSERT_FALSE(page.isEmpty()) << serve.readAllStandardError().toStdString();
    test::PageClient client(static_cast<quint16>(page.port()), test::CodeOf(page));
    ASSERT_TRUE(client.WaitFor("state"));
    client.Send(
        QJsonObject{{"t", "set"}, {"field", "eq.graphic_gain"}, {"ch", 0}, {"i", 4}, {"code", 17}});
    const int offset = FieldOffset(ParamField::EqGraphicGain, kChannelA, 4);
    ASSERT_TRUE(test::RunUntil([&] { return test::BusHasWrite(bus, 1, offset, 17); }, 5000));

    serve.kill();
    ASSERT_TRUE(serve.waitForFinished(10000));
    const std::vector<LeftOverCopy> left = RecoveryStore::FindLeftOvers(dir.File("state/arvestra"));
    ASSERT_EQ(left.size(), 1U);
    EXPECT_EQ(left.front().note.originalPath, file);
    EXPECT_TRUE(left.front().note.modified);
    const SavedLocation recovered(left.front().copyPath);
    EXPECT_EQ(recovered.Image(1, 0)[static_cast<std::size_t>(offset)], 17);
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
