// The hand-overs of the scan thread on Qt: a call made on another thread runs on the GUI thread while
// the caller waits, its failure comes back to the caller, and waiting on the GUI thread serves them.
#include "AppTestSupport.h"

#include "app/QtDispatcher.h"

#include <QThread>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace orvelle::test {
namespace {

TEST(QtDispatcherTest, HandOversRunOnTheGuiThreadAndBringTheirFailureBack) {
    TQtDispatcher dispatcher;
    QThread* gui = QThread::currentThread();
    std::atomic<bool> finished{false};
    bool ranOnGui = false;
    std::string failure;
    std::thread scan([&] {
        dispatcher.Synchronize([&] { ranOnGui = QThread::currentThread() == gui; });
        try {
            dispatcher.Synchronize([] { throw std::runtime_error("Unable to save the session."); });
        } catch (const std::runtime_error& error) {
            failure = error.what();
        }
        finished = true;
        dispatcher.Wake();
    });
    dispatcher.ServeUntil([&finished] { return finished.load(); });
    scan.join();
    EXPECT_TRUE(ranOnGui);
    EXPECT_EQ(failure, "Unable to save the session.");
}

TEST(QtDispatcherTest, CallOnTheGuiThreadRunsAtOnce) {
    TQtDispatcher dispatcher;
    int calls = 0;
    dispatcher.Synchronize([&calls] { ++calls; });
    EXPECT_EQ(calls, 1);
    EXPECT_THROW(dispatcher.Synchronize([] { throw std::runtime_error("failed"); }), std::runtime_error);
}

using DeviceDataChangedTest = TAppTest;

TEST_F(DeviceDataChangedTest, PostsARefreshFromAnotherThreadWhileTheListIsLocked) {
    TMainForm& form = NewForm();
    std::thread scan([] {
        TDeviceListLock lock(Session->DeviceList());
        TBTDevice& device = Session->DeviceList().AddDevice("(00:00:00:00:00:01)");
        device.LastSeen = TestNow;
        Session->DeviceList().NotifyChanged();
    });
    scan.join();
    EXPECT_EQ(FilterTexts().size(), 4u);
    Pump();
    EXPECT_EQ(FilterTexts()[1], QStringLiteral("  Now (1)"));
    (void)form;
}

} // namespace
} // namespace orvelle::test
