// Show control with the ecosystem's own tools: liblo's oscsend and oscdump against
// "arvestra-cli serve --osc" online with the simulator. A recall, a set and a step reach the
// device with the right bytes, and a subscriber hears the change a second client made.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

#include "link/DeviceCommands.h"
#include "model/ParamField.h"
#include "model/ParamValue.h"
#include "osc/OscSocket.h"
#include "remote/ServeSupport.h"

namespace arvestra::remote {
namespace {

using cli_it::SimulatedBus;
using cli_it::TestDirectory;

// Runs oscsend to the server; true when it exited with status 0.
bool OscSend(quint16 port, const QStringList& message) {
    QProcess send;
    send.start("oscsend", QStringList{"127.0.0.1", QString::number(port)} + message);
    return send.waitForFinished(5000) && send.exitCode() == 0;
}

// A free UDP port on loopback, for oscdump.
quint16 FreeUdpPort() {
    osc::OscSocket probe;
    if (!probe.Open(osc::OscPeer::V4(127, 0, 0, 1, 0))) return 0;
    return probe.Local().port;
}

bool BusHasRecall(const SimulatedBus& bus, int address, int preset) {
    for (const cli_it::LoggedRequest& r : cli_it::WithCommand(bus.Requests(), CMD_RECALL_PRESET)) {
        if (r.address == address && !r.payload.empty() &&
            r.payload[0] == EncodeRecallPreset(preset)) {
            return true;
        }
    }
    return false;
}

int LevelCode(const char* typed) {
    return static_cast<int>(*ParseParamValue(typed, Scale::Level).code);
}

TEST(OscTools, OscsendDrivesTheDevicesAndOscdumpHearsTheFeedback) {
    if (QStandardPaths::findExecutable("oscsend").isEmpty() ||
        QStandardPaths::findExecutable("oscdump").isEmpty()) {
        GTEST_SKIP() << "liblo-tools (oscsend, oscdump) are not installed";
    }
    TestDirectory dir;
    SimulatedBus bus(dir, "1,3", {"--baud", "38400"});
    ASSERT_FALSE(bus.Port().empty());
    QProcess serve;
    const QUrl page = test::StartServe(serve, bus, dir.File("show.kvx"),
                                       {"--osc", "127.0.0.1:0", "--osc-allow", "127.0.0.0/8"});
    ASSERT_EQ(page.scheme(), "http") << serve.readAllStandardError().toStdString();
    // The page's pairing lines come first; the OSC address follows them.
    QString line;
    ASSERT_TRUE(test::RunUntil(
        [&] {
            while (serve.canReadLine()) {
                line = QString::fromUtf8(serve.readLine()).trimmed();
                if (line.startsWith("osc.udp://")) return true;
            }
            return false;
        },
        5000));
    const QUrl osc(line);
    ASSERT_EQ(osc.scheme(), "osc.udp");
    const auto port = static_cast<quint16>(osc.port());

    // A recall reaches device 3.
    ASSERT_TRUE(OscSend(port, {"/arvestra/3/preset/recall", "i", "5"}));
    EXPECT_TRUE(test::RunUntil([&] { return BusHasRecall(bus, 3, 5); }, 5000));

    // A set in dB, then a step of +1.5 dB, reach device 3 as their codes.
    const int offset = FieldOffset(ParamField::InputLevel, kChannelA);
    ASSERT_TRUE(OscSend(port, {"/arvestra/3/ch1.input.level", "f", "-6"}));
    EXPECT_TRUE(
        test::RunUntil([&] { return test::BusHasWrite(bus, 3, offset, LevelCode("-6dB")); }, 5000));
    ASSERT_TRUE(OscSend(port, {"/arvestra/3/ch1.input.level/inc", "f", "1.5"}));
    EXPECT_TRUE(test::RunUntil(
        [&] { return test::BusHasWrite(bus, 3, offset, LevelCode("-4.5dB")); }, 5000));

    // oscdump subscribes (its port named, as oscsend sends from a fresh one) and hears the
    // change a second client makes.
    const quint16 dumpPort = FreeUdpPort();
    QProcess dump;
    dump.start("oscdump", {"-L", QString::number(dumpPort)});
    ASSERT_TRUE(dump.waitForStarted(5000));
    ASSERT_TRUE(OscSend(port, {"/arvestra/subscribe", "fi", "20", QString::number(dumpPort)}));
    QByteArray heard;
    ASSERT_TRUE(test::RunUntil(
        [&] {
            heard += dump.readAllStandardOutput();
            return heard.contains("/arvestra/1/preset");
        },
        5000))
        << heard.toStdString();
    ASSERT_TRUE(OscSend(port, {"/arvestra/1/ch2.output.level", "f", "-3"}));
    EXPECT_TRUE(test::RunUntil(
        [&] {
            heard += dump.readAllStandardOutput();
            return heard.contains("/arvestra/1/ch2.output.level f -3.0");
        },
        5000))
        << heard.toStdString();
    EXPECT_TRUE(heard.contains("/arvestra/1/meters iiiiiiiiii")) << heard.toStdString();
    dump.kill();
    dump.waitForFinished(2000);
    ASSERT_TRUE(test::StopServe(serve)) << serve.readAllStandardError().toStdString();
}

TEST(OscTools, AMistypedAllowListIsAUsageError) {
    QProcess serve;
    serve.start(ARVESTRA_CLI_PATH,
                {"serve", "no-file.kvx", "--osc", "127.0.0.1:0", "--osc-allow", "10.0.0.0/40"});
    ASSERT_TRUE(serve.waitForFinished(20000));
    EXPECT_EQ(serve.exitCode(), 2);
    EXPECT_TRUE(serve.readAllStandardError().contains("0 to 32"));
}

}  // namespace
}  // namespace arvestra::remote
