// The large attacks on "arvestra-cli serve" as a program, with the descriptor limit of a
// user's shell: a body of 300 MB and 1100 idle sockets. They send hundreds of megabytes, so
// they run only with ARVESTRA_ATTACK_TESTS=1.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <QElapsedTimer>
#include <QFile>
#include <memory>
#include <vector>

#include "remote/RawClient.h"
#include "remote/ServeSupport.h"

namespace arvestra::remote {
namespace {

using cli_it::SimulatedBus;
using cli_it::TestDirectory;

// The most memory the process has held so far, in MB (VmHWM).
long PeakMegabytes(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLong() / 1024;
    }
    return -1;
}

int GetPage(quint16 port, const QString& code, int timeoutMs) {
    test::RawClient client(port);
    client.Send(QStringLiteral("GET /?code=%1 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")
                    .arg(code)
                    .toStdString());
    return test::StatusOf(client.ReceiveHeader(timeoutMs));
}

class ServeAttack : public ::testing::Test {
  protected:
    void SetUp() override {
        if (qEnvironmentVariable("ARVESTRA_ATTACK_TESTS") != "1") {
            GTEST_SKIP() << "set ARVESTRA_ATTACK_TESTS=1 (sends 300 MB on the loopback)";
        }
        rlimit files{};
        ::getrlimit(RLIMIT_NOFILE, &files);
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
        ASSERT_FALSE(bus.Port().empty());
        // The shell's usual limit of 1024 descriptors for the server.
        serve.setChildProcessModifier([] {
            const rlimit usual{1024, 1024};
            ::setrlimit(RLIMIT_NOFILE, &usual);
        });
        page = test::StartServe(serve, bus, dir.File("attacked.kvx"));
        ASSERT_EQ(page.scheme(), "http") << serve.readAllStandardError().toStdString();
        port = static_cast<quint16>(page.port());
        code = test::CodeOf(page);
    }
    void TearDown() override {
        if (serve.state() != QProcess::NotRunning) {
            EXPECT_TRUE(test::StopServe(serve));
        }
    }

    TestDirectory dir;
    SimulatedBus bus{dir, "1"};
    QProcess serve;
    QUrl page;
    quint16 port = 0;
    QString code;
};

TEST_F(ServeAttack, ABodyOf300MegabytesCostsNoMemory) {
    test::RawClient attacker(port);
    attacker.Send("POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 2147483648\r\n\r\n");
    const std::string block(1 << 20, 'x');
    int sent = 0;
    while (sent < 300 && attacker.Send(block)) ++sent;
    const long peak = PeakMegabytes(serve.processId());
    std::printf("300 MB body: %d MB taken before the server closed; server peak %ld MB\n", sent,
                peak);
    EXPECT_LT(peak, 100);
    EXPECT_EQ(GetPage(port, code, 5000), 200);
}

TEST_F(ServeAttack, ElevenHundredIdleSocketsKeepNoPageOut) {
    std::vector<std::unique_ptr<test::RawClient>> idle;
    for (int i = 0; i < 1100; ++i) {
        idle.push_back(std::make_unique<test::RawClient>(port));
        if (i % 2) idle.back()->Send("GET /?code=" + code.toStdString() + " HTTP/1.1\r\nHo");
    }
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(GetPage(port, code, 5000), 200);
    EXPECT_LT(timer.elapsed(), 5000);
    std::printf("1100 idle sockets: a coded page in %lld ms; server peak %ld MB\n",
                static_cast<long long>(timer.elapsed()), PeakMegabytes(serve.processId()));
}

}  // namespace
}  // namespace arvestra::remote
