// Puts the process in the German locale, whose decimal separator is ",", for the life of a test,
// as a GUI toolkit does on a German desktop. Skips the test, saying why, when the locale is not
// installed on this machine (scripts/ensure-packages.sh generates it).
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

namespace arvestra::testing {

class GermanNumbersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::setlocale(LC_ALL, nullptr);
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
            GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed; run "
                            "scripts/ensure-packages.sh as root to generate it";
        }
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 2.5);
        ASSERT_EQ(std::string(probe), "2,5") << "the German locale is in force";
    }
    void TearDown() override { std::setlocale(LC_ALL, previous_.c_str()); }

  private:
    std::string previous_;
};

}  // namespace arvestra::testing
