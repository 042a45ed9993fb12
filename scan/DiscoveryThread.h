// The discovery thread (TDiscoveryThread): the program's one background thread. It runs an inquiry
// pass every second and reports to the window only by hand-overs through the dispatcher.
#pragma once

#include "bluetooth/DiscoveryHost.h"
#include "scan/DiscoveryWindow.h"
#include "scan/Dispatcher.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace orvelle {

// The pauses between passes, after a successful and after a failed pass.
inline constexpr std::chrono::milliseconds PassPause{1000};
inline constexpr std::chrono::milliseconds FailurePause{5000};

class TDiscoveryThread final : public TDiscoveryHost {
public:
    // Waits for the given time on the discovery thread; the default sleeps until the time is up or the
    // thread is asked to terminate, so that closing the program never waits out a back-off.
    using TPause = std::function<void(std::chrono::milliseconds)>;

    // Created on the GUI thread; the thread runs at once unless CREATESUSPENDED, then from Resume.
    // Becomes the process's discovery host. DISPATCHER, WINDOW and SOUND must outlive the object.
    TDiscoveryThread(bool createSuspended, TDispatcher& dispatcher, TDiscoveryWindow& window,
                     TSoundPlayer& sound, TPause pause = {});
    // On the GUI thread: asks the thread to terminate and waits for it as WaitFor does.
    ~TDiscoveryThread() override;
    TDiscoveryThread(const TDiscoveryThread&) = delete;
    TDiscoveryThread& operator=(const TDiscoveryThread&) = delete;

    // Starts a suspended thread; does nothing once started.
    void Resume();
    // Asks the thread to end: the current pass stops at its next result, and a pause ends at once.
    void Terminate();
    // On the GUI thread: waits until the thread has ended, serving its hand-overs meanwhile.
    void WaitFor();

    bool IsTerminated() override;
    void LogMessage(const std::string& text) override;
    void NewDeviceFound() override;

    // On the GUI thread: plays the session's new-device sound, if it names one.
    void PlayFoundSound();

private:
    void Execute();
    void ReportFailure(const char* message);
    void PauseUnlessTerminated(std::chrono::milliseconds duration);

    TDispatcher& FDispatcher;
    TDiscoveryWindow& FWindow;
    TSoundPlayer& FSound;
    const TPause FPause;
    // Written by the discovery thread just before the log hand-over, read by the GUI thread during it.
    std::string FLogText;
    std::atomic<bool> FTerminated{false};
    // Wakes the default pause when the thread is asked to terminate.
    std::mutex FPauseLock;
    std::condition_variable FPauseWake;
    std::atomic<bool> FFinished{false};
    std::jthread FThread;
};

} // namespace orvelle
