// The queue dispatcher: hand-overs run on the owning thread, the caller waits for them and gets
// their failure back, and serving ends when its condition holds.
#include "scan/QueueDispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace orvelle {
namespace {

using namespace std::chrono_literals;

TEST(QueueDispatcherTest, HandOverRunsOnTheOwnerWhileTheCallerWaits) {
    TQueueDispatcher dispatcher;
    const std::thread::id owner = std::this_thread::get_id();
    std::thread::id ranOn;
    bool callerReturned = false;
    bool returnedBeforeRun = true;
    std::atomic<bool> finished{false};

    std::thread caller([&] {
        dispatcher.Synchronize([&] {
            ranOn = std::this_thread::get_id();
            returnedBeforeRun = callerReturned;
        });
        callerReturned = true;
        finished = true;
        dispatcher.Wake();
    });
    EXPECT_TRUE(dispatcher.ServeUntil([&] { return finished.load(); }, 10s));
    caller.join();

    EXPECT_EQ(ranOn, owner);
    EXPECT_FALSE(returnedBeforeRun);
}

TEST(QueueDispatcherTest, FailureOfTheCallIsRaisedInTheCaller) {
    TQueueDispatcher dispatcher;
    std::string caught;
    std::atomic<bool> finished{false};

    std::thread caller([&] {
        try {
            dispatcher.Synchronize([] { throw std::runtime_error("window failed"); });
        } catch (const std::runtime_error& error) {
            caught = error.what();
        }
        finished = true;
        dispatcher.Wake();
    });
    EXPECT_TRUE(dispatcher.ServeUntil([&] { return finished.load(); }, 10s));
    caller.join();

    EXPECT_EQ(caught, "window failed");
}

TEST(QueueDispatcherTest, CallOnTheOwnerRunsAtOnce) {
    TQueueDispatcher dispatcher;
    int runs = 0;
    dispatcher.Synchronize([&] { ++runs; });
    EXPECT_EQ(runs, 1);
    EXPECT_THROW(dispatcher.Synchronize([] { throw std::logic_error("at once"); }), std::logic_error);
}

TEST(QueueDispatcherTest, ServingGivesUpAfterItsTimeout) {
    TQueueDispatcher dispatcher;
    EXPECT_FALSE(dispatcher.ServeUntil([] { return false; }, 20ms));
    EXPECT_TRUE(dispatcher.ServeUntil([] { return true; }, 0ms));
}

} // namespace
} // namespace orvelle
