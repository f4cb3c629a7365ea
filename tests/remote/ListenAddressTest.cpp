#include <gtest/gtest.h>

#include "remote/ListenAddress.h"

namespace arvestra::remote {
namespace {

TEST(ListenAddress, HostsAndPortsAreReadOrRefused) {
    const struct {
        const char* text;
        const char* host;  // nullptr: refused
        int port;
    } cases[] = {
        {"192.168.1.20:8080", "192.168.1.20", 8080},
        {"localhost:1", "127.0.0.1", 1},
        {"0.0.0.0:65535", "0.0.0.0", 65535},
        {"[::1]:8080", "::1", 8080},
        {"::1:8080", nullptr, 0},
        {"192.168.1.20", nullptr, 0},
        {":8080", nullptr, 0},
        {"192.168.1.20:0", "192.168.1.20", 0},
        {"192.168.1.20:65536", nullptr, 0},
        {"192.168.1.20:-1", nullptr, 0},
        {"192.168.1.20:80x", nullptr, 0},
        {"venue-pc:8080", nullptr, 0},
        {"300.1.1.1:8080", nullptr, 0},
        {"", nullptr, 0},
    };
    for (const auto& c : cases) {
        QString error;
        const auto address = ParseListenAddress(c.text, &error);
        if (!c.host) {
            EXPECT_FALSE(address) << c.text;
            EXPECT_FALSE(error.isEmpty()) << c.text;
            continue;
        }
        ASSERT_TRUE(address) << c.text << ": " << error.toStdString();
        EXPECT_EQ(address->host, QHostAddress(QString(c.host))) << c.text;
        EXPECT_EQ(address->port, c.port) << c.text;
    }
}

}  // namespace
}  // namespace arvestra::remote
