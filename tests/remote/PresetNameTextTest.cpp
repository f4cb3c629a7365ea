#include <gtest/gtest.h>

#include "remote/PresetNameText.h"

namespace arvestra::remote {
namespace {

TEST(PresetNameText, ControlCharactersGoAndTheNameIsCutToWhatTheDeviceKeeps) {
    struct Case {
        QString typed;
        std::string kept;  // UTF-8
    };
    const Case cases[] = {
        {"Sunday", "Sunday"},
        {"", ""},
        {QStringLiteral("Line\nbreak\ttab"), "Linebreaktab"},
        {QStringLiteral("\x1b[31mred\x7f"), "[31mred"},
        {QStringLiteral("zero\u200bwidth\u0085"), "zerowidth"},
        {QStringLiteral("Caf\u00e9"), "Caf\xc3\xa9"},
        {QString(64, 'x'), std::string(32, 'x')},
        {QString(31, 'x') + QStringLiteral("\u00e9\u00e9"), std::string(31, 'x') + "\xc3\xa9"},
        // A character beyond the Basic Multilingual Plane is one character, shown as '?'.
        {QString(31, 'x') + QString::fromUcs4(U"\U0001F3B5") + "y", std::string(31, 'x') + "?"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CleanPresetName(c.typed), c.kept) << c.typed.toStdString();
    }
}

}  // namespace
}  // namespace arvestra::remote
