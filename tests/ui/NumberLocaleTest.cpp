// The editor keeps "." in numbers on a desktop whose language writes ",".
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/GermanNumbers.h"
#include "ui/shell/ArvestraApp.h"

namespace arvestra {
namespace {

using EditorGermanNumbers = testing::GermanNumbersTest;

TEST_F(EditorGermanNumbers, TheApplicationPutsTheDotBackForTheWholeProgram) {
    CArvestraApp::KeepNumbersWithDot();
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", -2.5);
    EXPECT_EQ(std::string(text), "-2.5");
    EXPECT_DOUBLE_EQ(std::strtod("12.5", nullptr), 12.5);
}

}  // namespace
}  // namespace arvestra
