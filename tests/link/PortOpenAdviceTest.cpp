// The words added to the port-error message when a port does not open.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "LinkTestSupport.h"
#include "link/PortOpenAdvice.h"

namespace arvestra {
namespace {

using testing::LinkBench;

TEST(PortOpenAdvice, EachReasonSaysWhatToDo) {
    const std::vector<std::string> present{"/dev/serial/by-id/usb-FTDI_A1-if00-port0",
                                           "/dev/serial/by-id/usb-Prolific_B2-port0"};
    const struct {
        int error;
        std::vector<std::string> ports;
        std::vector<std::string> says;
    } cases[] = {
        {EACCES, {}, {"/dev/ttyUSB0", "\"dialout\"", "sudo usermod -aG dialout $USER", "log in"}},
        {EPERM, {}, {"sudo usermod -aG dialout $USER"}},
        {EBUSY, {}, {"/dev/ttyUSB0 is busy", "another program"}},
        {ENOENT, present, {"no device /dev/ttyUSB0", present[0], present[1]}},
        {ENODEV, present, {"no device /dev/ttyUSB0", present[1]}},
        {ENXIO, {}, {"no device /dev/ttyUSB0", "/dev/serial/by-id is empty"}},
    };
    for (const auto& c : cases) {
        const std::string advice = PortOpenAdvice(c.error, "/dev/ttyUSB0", c.ports);
        for (const std::string& words : c.says) {
            EXPECT_NE(advice.find(words), std::string::npos) << c.error << ": " << advice;
        }
    }
    EXPECT_EQ(PortOpenAdvice(EIO, "/dev/ttyUSB0", present), "");
    EXPECT_EQ(PortOpenAdvice(0, "/dev/ttyUSB0", present), "");
}

TEST(PortOpenAdvice, ListsTheAdaptersByIdSortedAndNothingWithoutTheDirectory) {
    char pattern[] = "/tmp/byidXXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::filesystem::path dir(pattern);
    std::ofstream(dir / "usb-Zeta_9-port0").put('x');
    std::filesystem::create_symlink("../../ttyUSB0", dir / "usb-Alpha_1-if00-port0");
    EXPECT_EQ(ListSerialPortsById(dir.string()),
              (std::vector<std::string>{(dir / "usb-Alpha_1-if00-port0").string(),
                                        (dir / "usb-Zeta_9-port0").string()}));
    std::filesystem::remove_all(dir);
    EXPECT_TRUE(ListSerialPortsById(dir.string()).empty());
}

TEST(PortOpenAdvice, TheMessageKeepsItsNumbersAndAddsTheReason) {
    LinkBench b;
    b.link.SetPortNumber(2);
    b.link.Ports().SetPath(2, "/dev/ttyACM3");
    b.Script().openError = EACCES;
    b.ui.Push(UiAnswer::Yes);
    EXPECT_EQ(b.link.OpenPort(), 0);
    ASSERT_EQ(b.ui.Questions().size(), 1u);
    const std::string text = b.ui.Questions()[0].text;
    EXPECT_EQ(text.rfind("Error: Couldn't open serial port COM2.", 0), 0u) << text;
    EXPECT_NE(text.find("Permission to use /dev/ttyACM3 was denied"), std::string::npos) << text;
    EXPECT_EQ(b.ErrorNumber(0), "12 - 2 - d - 0");

    // A failure after the open (the line settings) has no reason to add.
    LinkBench later;
    later.Script().getLineError = ENOTTY;
    later.ui.Push(UiAnswer::Yes);
    EXPECT_EQ(later.link.OpenPort(), 0);
    ASSERT_EQ(later.ui.Questions().size(), 1u);
    EXPECT_EQ(later.ui.Questions()[0].text.find("dialout"), std::string::npos);
    EXPECT_EQ(later.ui.Questions()[0].text.find("busy"), std::string::npos);
}

}  // namespace
}  // namespace arvestra
