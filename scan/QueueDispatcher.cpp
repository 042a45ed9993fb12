// The queue dispatcher: callers park their hand-over in the queue and wait for the owner to run it.
#include "scan/QueueDispatcher.h"

namespace orvelle {

TQueueDispatcher::TQueueDispatcher() : FOwner(std::this_thread::get_id()) {}

void TQueueDispatcher::Synchronize(const std::function<void()>& call) {
    if (std::this_thread::get_id() == FOwner) {
        call();
        return;
    }
    THandOver handOver{&call, nullptr};
    std::unique_lock lock(FMutex);
    FQueue.push_back(&handOver);
    FChanged.notify_all();
    FChanged.wait(lock, [&handOver] { return handOver.Done; });
    if (handOver.Failure)
        std::rethrow_exception(handOver.Failure);
}

void TQueueDispatcher::ServeUntil(const std::function<bool()>& done) {
    Serve(done, std::chrono::steady_clock::time_point::max());
}

bool TQueueDispatcher::ServeUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    return Serve(done, std::chrono::steady_clock::now() + timeout);
}

void TQueueDispatcher::Wake() {
    std::lock_guard lock(FMutex);
    FWoken = true;
    FChanged.notify_all();
}

bool TQueueDispatcher::Serve(const std::function<bool()>& done,
                             std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(FMutex);
    for (;;) {
        // DONE is tested under the lock, so a Wake that follows the change it waits for is never missed.
        if (done())
            return true;
        if (FQueue.empty()) {
            FWoken = false;
            if (!FChanged.wait_until(lock, deadline, [this] { return !FQueue.empty() || FWoken; }))
                return done();
            continue;
        }
        THandOver* handOver = FQueue.front();
        FQueue.pop_front();
        lock.unlock();
        try {
            (*handOver->Call)();
        } catch (...) {
            handOver->Failure = std::current_exception();
        }
        lock.lock();
        handOver->Done = true;
        FChanged.notify_all();
    }
}

} // namespace orvelle
