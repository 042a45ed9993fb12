// A dispatcher whose GUI thread is the thread that created it: hand-overs wait in a queue until that
// thread serves them. For headless runs and tests.
#pragma once

#include "scan/Dispatcher.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace orvelle {

class TQueueDispatcher : public TDispatcher {
public:
    TQueueDispatcher();

    void Synchronize(const std::function<void()>& call) override;
    void ServeUntil(const std::function<bool()>& done) override;
    void Wake() override;

    // As ServeUntil, but gives up after TIMEOUT; returns whether DONE became true.
    bool ServeUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

private:
    struct THandOver {
        const std::function<void()>* Call;
        std::exception_ptr Failure;
        bool Done = false;
    };

    bool Serve(const std::function<bool()>& done, std::chrono::steady_clock::time_point deadline);

    const std::thread::id FOwner;
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::deque<THandOver*> FQueue;
    bool FWoken = false;
};

} // namespace orvelle
