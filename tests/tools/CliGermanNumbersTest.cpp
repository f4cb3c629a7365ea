// The command-line tool writes and reads numbers with "." under a locale that writes ",", as
// the serve verb's Qt application sets from the desktop.
#include <gtest/gtest.h>

#include "cli/ParamValue.h"
#include "cli/ResponseDump.h"
#include "model/Scales.h"
#include "support/GermanNumbers.h"

namespace arvestra::cli {
namespace {

using CliGermanNumbers = arvestra::testing::GermanNumbersTest;

TEST_F(CliGermanNumbers, ValuesAndDumpLinesKeepTheDot) {
    EXPECT_EQ(FormatParamValue(Scale::GraphicGain, 31), "0.5dB");
    EXPECT_EQ(FormatParamValue(Scale::Delay, 65536), "1365.33ms");
    EXPECT_EQ(FormatParamValue(Scale::Temperature, 685), "68.5F");
    EXPECT_EQ(FormatDumpLine(125.0, 0.12345, 9), "125.0\t0.1235\t9\r\n");
    const ValueParse parsed = ParseParamValue("0.5dB", Scale::GraphicGain);
    ASSERT_TRUE(parsed.code.has_value());
    EXPECT_EQ(*parsed.code, 31);
}

}  // namespace
}  // namespace arvestra::cli
