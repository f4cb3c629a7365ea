#include "devsim/ParseNumber.h"

#include <gtest/gtest.h>

#include <string>

namespace arvestra::devsim {
namespace {

struct NumberCase {
    const char* text;
    int lo;
    int hi;
    std::optional<int> expected;
};

class ParseNumberCases : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ParseNumberCases, TakesOnlyAWholeNumberInRange) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(ParseNumber(c.text, c.lo, c.hi), c.expected) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseNumberCases,
    ::testing::Values(NumberCase{"1", 1, 126, 1}, NumberCase{"126", 1, 126, 126},
                      NumberCase{"0", 1, 126, std::nullopt},
                      NumberCase{"127", 1, 126, std::nullopt}, NumberCase{"0", 0, 5, 0},
                      NumberCase{"-1", 0, 5, std::nullopt}, NumberCase{"+1", 0, 5, std::nullopt},
                      NumberCase{" 1", 0, 5, std::nullopt}, NumberCase{"1 ", 0, 5, std::nullopt},
                      NumberCase{"1x", 0, 5, std::nullopt}, NumberCase{"", 0, 5, std::nullopt},
                      NumberCase{"99999999999", 0, 1'000'000'000, std::nullopt}));

}  // namespace
}  // namespace arvestra::devsim
