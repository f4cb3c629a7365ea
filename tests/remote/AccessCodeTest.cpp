#include <gtest/gtest.h>

#include "remote/AccessCode.h"
#include "remote/CodeGate.h"

namespace arvestra::remote {
namespace {

TEST(AccessCode, NewCodesUseTheAlphabetAndDiffer) {
    const QString first = MakeAccessCode();
    const QString second = MakeAccessCode();
    ASSERT_EQ(first.size(), kCodeLength);
    for (const QChar c : first) EXPECT_TRUE(QString(kCodeAlphabet).contains(c)) << int{c.unicode()};
    EXPECT_NE(first, second);
}

TEST(AccessCode, OnlyTheExactCodeMatches) {
    const QString code = "ABCDEFGHJK";
    const struct {
        QString offered;
        bool match;
    } cases[] = {
        {"ABCDEFGHJK", true},
        {"ABCDEFGHJ", false},
        {"ABCDEFGHJKA", false},
        {"abcdefghjk", false},
        {"", false},
        {"ABCDEFGHJX", false},
        {"XBCDEFGHJK", false},
        {QString(1000, 'A'), false},
        {QString("ABCDEFGHJK") + QChar(0), false},
    };
    for (const auto& c : cases) EXPECT_EQ(CodesMatch(code, c.offered), c.match) << c.offered.size();
    EXPECT_FALSE(CodesMatch("", ""));
}

TEST(CodeGate, EachWrongCodeDoublesThePauseUpToTheLimit) {
    EXPECT_EQ(CodeGate::PauseAfter(0), CodeGate::kFirstPause);
    EXPECT_EQ(CodeGate::PauseAfter(1), 2 * CodeGate::kFirstPause);
    EXPECT_EQ(CodeGate::PauseAfter(3), 8 * CodeGate::kFirstPause);
    EXPECT_EQ(CodeGate::PauseAfter(40), CodeGate::kLongestPause);
    EXPECT_EQ(CodeGate::PauseAfter(1000000), CodeGate::kLongestPause);
}

TEST(CodeGate, AShutOutAddressIsRefusedEvenWithTheRightCode) {
    using namespace std::chrono_literals;
    CodeGate gate;
    const auto t0 = CodeGate::Clock::time_point{} + 1h;
    EXPECT_EQ(gate.Judge("10.0.0.5", false, t0), GateVerdict::WrongCode);
    EXPECT_EQ(gate.Judge("10.0.0.5", true, t0 + 249ms), GateVerdict::ShutOut);
    // Another address is not held up by the first one's guesses.
    EXPECT_EQ(gate.Judge("10.0.0.6", true, t0 + 1ms), GateVerdict::Accepted);
    // After the pause a second wrong code earns twice the pause.
    EXPECT_EQ(gate.Judge("10.0.0.5", false, t0 + 250ms), GateVerdict::WrongCode);
    EXPECT_EQ(gate.Judge("10.0.0.5", true, t0 + 749ms), GateVerdict::ShutOut);
    EXPECT_EQ(gate.Judge("10.0.0.5", true, t0 + 750ms), GateVerdict::Accepted);
    // The right code cleared the record: the next wrong one starts from the first pause.
    EXPECT_EQ(gate.Judge("10.0.0.5", false, t0 + 1s), GateVerdict::WrongCode);
    EXPECT_EQ(gate.Judge("10.0.0.5", true, t0 + 1s + 250ms), GateVerdict::Accepted);
}

TEST(CodeGate, ManyAddressesDoNotGrowTheRecordsWithoutBound) {
    CodeGate gate;
    const auto t0 = CodeGate::Clock::time_point{};
    for (std::size_t i = 0; i < CodeGate::kMaxRecords + 10; ++i) {
        EXPECT_EQ(gate.Judge("peer" + std::to_string(i), false, t0), GateVerdict::WrongCode);
    }
    // The newest addresses are still held.
    EXPECT_EQ(gate.Judge("peer" + std::to_string(CodeGate::kMaxRecords + 9), true, t0),
              GateVerdict::ShutOut);
}

}  // namespace
}  // namespace arvestra::remote
