// The seam through which the discovery thread hands calls over to the GUI thread. The program
// implements it with its toolkit's blocking queued invocation; headless runs and tests use
// TQueueDispatcher.
#pragma once

#include <functional>

namespace orvelle {

class TDispatcher {
public:
    virtual ~TDispatcher() = default;

    // Runs CALL on the GUI thread and returns once it has run there; a failure that CALL raises is
    // raised again in the caller. Called on the GUI thread itself, it runs CALL at once.
    virtual void Synchronize(const std::function<void()>& call) = 0;

    // On the GUI thread: runs the hand-overs that arrive until DONE returns true. DONE is tested
    // first, after every hand-over and after every Wake; it must not wait for another thread.
    virtual void ServeUntil(const std::function<bool()>& done) = 0;

    // From any thread: makes a running ServeUntil test its condition again.
    virtual void Wake() = 0;
};

} // namespace orvelle
