// Shown and typed numbers keep "." as the decimal point under a desktop locale that writes ",".
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "model/TypedNumber.h"
#include "model/ValueFormat.h"

namespace arvestra {
namespace {

// Compiles a German locale into a private directory and switches LC_NUMERIC to it for the
// test's lifetime; empty when this machine cannot make it.
class GermanNumbers {
  public:
    GermanNumbers() {
        dir_ = std::filesystem::temp_directory_path() / "arvestra-locale-test";
        std::filesystem::create_directories(dir_);
        const std::string command =
            "localedef -i de_DE -f UTF-8 '" + (dir_ / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0 && !std::filesystem::exists(dir_ / "de_DE.UTF-8")) {
            return;
        }
        setenv("LOCPATH", dir_.c_str(), 1);
        active_ = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    }
    ~GermanNumbers() {
        std::setlocale(LC_NUMERIC, "C");
        unsetenv("LOCPATH");
    }
    bool Active() const { return active_; }

  private:
    std::filesystem::path dir_;
    bool active_ = false;
};

TEST(ValueLocale, ShownAndTypedValuesUseADotUnderACommaLocale) {
    const GermanNumbers german;
    if (!german.Active()) GTEST_SKIP() << "no de_DE locale could be compiled (localedef, locales)";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", -3.5);
    ASSERT_EQ(std::string(probe), "-3,5");  // the locale really writes a comma
    EXPECT_EQ(FormatDecibels(-3.5), "-3.5 dB");
    EXPECT_EQ(FormatBandTip(3, 1000.0, 1.0, -6.0), "Band 3: 1000 Hz, 1.00 bw, -6.0 dB");
    EXPECT_EQ(FormatBandwidth(0.25), "0.25");
    EXPECT_EQ(FormatDelaySeconds(1.365333), "1.365333");
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("1250.5 Hz"), 1250.5);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("1,5"), 1.0);
}

}  // namespace
}  // namespace arvestra
