// Shown values keep "." as the decimal point under a desktop locale that writes ",".
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "model/DotDecimalScope.h"
#include "model/ValueFormat.h"
#include "support/GermanNumbers.h"

namespace arvestra {
namespace {

using DotDecimal = testing::GermanNumbersTest;

TEST_F(DotDecimal, EveryShownQuantityKeepsTheDot) {
    const struct {
        std::string shown;
        std::string expected;
    } cases[] = {
        {FormatParametricFrequency(1234.4), "1234 Hz"},
        {FormatBandwidth(0.25), "0.25"},
        {FormatDecibels(-2.5), "-2.5 dB"},
        {FormatBandTip(3, 1000.0, 0.5, -1.5), "Band 3: 1000 Hz, 0.50 bw, -1.5 dB"},
        {FormatAttack(0.5), "0.50"},
        {FormatRatio(2.5), "2.50"},
        {FormatThreshold(-10.5), "-10.5"},
        {FormatDelaySeconds(0.0125), "0.012500"},
        {FormatFeet(12.34), "12.3"},
        {FormatMetres(3.46), "3.5"},
        {FormatTemperature(21.5), "21.5"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.shown, c.expected);
}

TEST_F(DotDecimal, TheScopeReadsWithTheDotAndGivesTheLocaleBackAfterwards) {
    {
        const DotDecimalScope dot;
        EXPECT_DOUBLE_EQ(std::strtod("2.5", nullptr), 2.5);
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", 2.5);
        EXPECT_EQ(std::string(text), "2.5");
    }
    char after[16];
    std::snprintf(after, sizeof after, "%.1f", 2.5);
    EXPECT_EQ(std::string(after), "2,5");
}

}  // namespace
}  // namespace arvestra
