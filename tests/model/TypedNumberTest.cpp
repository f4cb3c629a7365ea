#include <gtest/gtest.h>

#include <string_view>

#include "model/TypedNumber.h"

namespace arvestra {
namespace {

struct TypedCase {
    std::string_view text;
    double value;
};

TEST(ParseLeadingNumber, ReadsTheLeadingDecimalNumberInTheCLocale) {
    const TypedCase cases[] = {
        {"1234", 1234.0},   {"1000 Hz", 1000.0}, {"  630.5", 630.5}, {"+250", 250.0},
        {"-12.5dB", -12.5}, {"1,5", 1.0},        {"2.5k", 2.5},      {"abc", 0.0},
        {"", 0.0},          {"   ", 0.0},        {"Hz 100", 0.0},    {"1e3", 1000.0},
        {"1e-999", 0.0},    {"9e999", 1e308},    {"-9e999", -1e308}, {".5", 0.5},
    };
    for (const TypedCase& c : cases) {
        EXPECT_DOUBLE_EQ(ParseLeadingNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace arvestra
