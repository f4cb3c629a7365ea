#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "LinkTestSupport.h"

namespace arvestra {
namespace {

using testing::LinkBench;
using testing::MakeReply;

// The worker raises a communication error while the user-interface thread watches the
// dialog flag, as the pause logic does: the flag must be visible while the box is up, and the
// report must only clear the online flag and post, never call back into the document.
TEST(SerialLinkThreads, ErrorRaisedOnTheWorkerIsVisibleToTheUserInterfaceThread) {
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.Script().QueueReply(MakeReply({}, 3));
    std::atomic<bool> seenByUiThread{false};
    std::atomic<bool> timedOut{false};
    b.ui.OnAsk([&] {
        // Keep the box "on screen" until the other thread has seen the flag (bounded).
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!seenByUiThread.load()) {
            if (std::chrono::steady_clock::now() > limit) {
                timedOut = true;
                return;
            }
            std::this_thread::yield();
        }
    });
    b.ui.Push(UiAnswer::Ignore);

    std::atomic<int> result{-1};
    std::thread worker([&] { result = b.link.SendByte(150, 1); });
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (b.link.errorDialogShowing.load() == 0 && std::chrono::steady_clock::now() < limit) {
        std::this_thread::yield();
    }
    seenByUiThread = b.link.errorDialogShowing.load() == 1;
    worker.join();

    EXPECT_TRUE(seenByUiThread.load());
    EXPECT_FALSE(timedOut.load());
    EXPECT_EQ(result.load(), 0);
    EXPECT_EQ(b.link.errorDialogShowing.load(), 0);
    EXPECT_EQ(b.app.IsOnline(), 0);
    EXPECT_EQ(b.ui.ViewCommands(), std::vector<CommandId>{CommandId::MeterRefresh});
    EXPECT_EQ(b.ui.Questions().at(0).owner, BoxOwner::None);
}

}  // namespace
}  // namespace arvestra
