#include "app/AppState.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace arvestra {
namespace {

// Records what the online switch asks of the document.
class RecordingDocument final : public OnlineObserver {
  public:
    explicit RecordingDocument(AppState& app) : app_(app) {}
    int ApplyOnlineState() override {
        calls.push_back("apply:" + std::to_string(app_.IsOnline()));
        return 0;  // a failure here is the document's to report; SetOnline ignores it
    }
    void ClearMeters() override { calls.push_back("clear"); }
    std::vector<std::string> calls;

  private:
    AppState& app_;
};

struct SwitchCase {
    const char* name;
    int before;
    int flag;
    std::vector<std::string> expectedCalls;
};

class SetOnlineSwitch : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SetOnlineSwitch, AppliesTheNewFlagAndClearsMetersOnlyWhenGoingOffline) {
    const SwitchCase& c = GetParam();
    AppState app;
    app.SetOnline(c.before);  // no document yet: only the flag moves
    RecordingDocument document(app);
    app.SetActiveDocument(&document);
    app.SetOnline(c.flag);
    EXPECT_EQ(app.IsOnline(), c.flag);
    EXPECT_EQ(document.calls, c.expectedCalls);
}

INSTANTIATE_TEST_SUITE_P(Transitions, SetOnlineSwitch,
                         ::testing::Values(SwitchCase{"OfflineToOnline", 0, 1, {"apply:1"}},
                                           SwitchCase{
                                               "OnlineToOffline", 1, 0, {"apply:0", "clear"}},
                                           SwitchCase{"OnlineAgain", 1, 1, {"apply:1"}},
                                           SwitchCase{"OfflineAgain", 0, 0, {"apply:0"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AppState, StartsOfflineWithoutDocument) {
    AppState app;
    EXPECT_EQ(app.IsOnline(), 0);
    EXPECT_EQ(app.ActiveDocument(), nullptr);
}

TEST(AppState, ClearOnlineFlagLeavesTheDocumentAlone) {
    AppState app;
    RecordingDocument document(app);
    app.SetActiveDocument(&document);
    app.SetOnline(1);
    document.calls.clear();
    app.ClearOnlineFlag();
    EXPECT_EQ(app.IsOnline(), 0);
    EXPECT_TRUE(document.calls.empty());
}

TEST(AppState, WithoutDocumentOnlySetsTheFlag) {
    AppState app;
    RecordingDocument document(app);
    app.SetActiveDocument(&document);
    app.SetActiveDocument(nullptr);
    app.SetOnline(1);
    EXPECT_EQ(app.IsOnline(), 1);
    EXPECT_TRUE(document.calls.empty());
}

}  // namespace
}  // namespace arvestra
