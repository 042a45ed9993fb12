// The discovery thread's loop, its hand-overs and its stopping.
#include "scan/DiscoveryThread.h"

#include "bluetooth/BTInterface.h"
#include "inventory/SessionState.h"
#include "inventory/Trace.h"

#include <pthread.h>

#include <exception>

namespace orvelle {

namespace {

constexpr const char* ExecuteRoutine = "TDiscoveryThread::Execute";

// The name debuggers and the system's thread lists show for the calling thread.
void SetThreadName() {
    pthread_setname_np(pthread_self(), "DiscoveryThread");
}

} // namespace

TDiscoveryThread::TDiscoveryThread(bool createSuspended, TDispatcher& dispatcher, TDiscoveryWindow& window,
                                   TSoundPlayer& sound, TPause pause)
    : FDispatcher(dispatcher), FWindow(window), FSound(sound),
      FPause(pause ? std::move(pause) : TPause([this](std::chrono::milliseconds duration) {
          PauseUnlessTerminated(duration);
      })) {
    SetDiscoveryHost(this);
    if (!createSuspended)
        Resume();
}

TDiscoveryThread::~TDiscoveryThread() {
    Terminate();
    WaitFor();
    if (DiscoveryHost() == this)
        SetDiscoveryHost(nullptr);
}

void TDiscoveryThread::Resume() {
    if (!FThread.joinable() && !FFinished)
        FThread = std::jthread([this] { Execute(); });
}

void TDiscoveryThread::Terminate() {
    {
        std::lock_guard lock(FPauseLock);
        FTerminated = true;
    }
    FPauseWake.notify_all();
}

void TDiscoveryThread::PauseUnlessTerminated(std::chrono::milliseconds duration) {
    std::unique_lock lock(FPauseLock);
    FPauseWake.wait_for(lock, duration, [this] { return FTerminated.load(); });
}

void TDiscoveryThread::WaitFor() {
    if (!FThread.joinable())
        return;
    FDispatcher.ServeUntil([this] { return FFinished.load(); });
    FThread.join();
}

bool TDiscoveryThread::IsTerminated() {
    return FTerminated;
}

void TDiscoveryThread::LogMessage(const std::string& text) {
    FLogText = text;
    FDispatcher.Synchronize([this] { FWindow.AddLogLine(FLogText); });
}

void TDiscoveryThread::NewDeviceFound() {
    FDispatcher.Synchronize([this] { PlayFoundSound(); });
    FDispatcher.Synchronize([this] { FWindow.DeviceListChanged(); });
}

void TDiscoveryThread::PlayFoundSound() {
    if (Session != nullptr && !Session->FoundSound.empty())
        FSound.PlaySound(Session->FoundSound);
}

void TDiscoveryThread::Execute() {
    ORVELLE_TRACE(100, ExecuteRoutine, 46, "Starting discovery thread");
    SetThreadName();
    while (!FTerminated) {
        bool failed = false;
        try {
            ORVELLE_TRACE(10, ExecuteRoutine, 55, "Discovery");
            if (BTPerformDiscovery())
                FDispatcher.Synchronize([this] { FWindow.StartScanIndicator(); });
        } catch (const std::exception& error) {
            failed = true;
            ReportFailure(error.what());
        } catch (...) {
            // A failure without a message text must not end the thread: the program would never scan
            // again.
            failed = true;
            ORVELLE_TRACE(1, ExecuteRoutine, 60, "ERROR: %s", "a failure without a message");
        }
        if (failed)
            FPause(FailurePause);
        FPause(PassPause);
    }
    FFinished = true;
    FDispatcher.Wake();
}

void TDiscoveryThread::ReportFailure(const char* message) {
    ORVELLE_TRACE(1, ExecuteRoutine, 60, "ERROR: %s", message);
    // The log hand-over may fail itself (the window cannot save the session, say); that failure is
    // traced and the thread goes on, since ending it would stop all scanning until a restart.
    try {
        LogMessage(message);
    } catch (const std::exception& error) {
        ORVELLE_TRACE(1, ExecuteRoutine, 60, "ERROR: %s", error.what());
    } catch (...) {
        ORVELLE_TRACE(1, ExecuteRoutine, 60, "ERROR: %s", "a failure without a message");
    }
}

} // namespace orvelle
