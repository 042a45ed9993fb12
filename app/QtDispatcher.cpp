// Hand-overs as queued invocations that the calling thread waits for; failures travel back as
// exception pointers, since they must not cross Qt's event loop.
#include "app/QtDispatcher.h"

#include <QCoreApplication>
#include <QThread>

#include <exception>

namespace orvelle {

TQtDispatcher::TQtDispatcher() = default;

void TQtDispatcher::Synchronize(const std::function<void()>& call) {
    if (QThread::currentThread() == FContext.thread()) {
        call();
        return;
    }
    std::exception_ptr failure;
    QMetaObject::invokeMethod(
        &FContext,
        [&call, &failure] {
            try {
                call();
            } catch (...) {
                failure = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (failure)
        std::rethrow_exception(failure);
}

void TQtDispatcher::ServeUntil(const std::function<bool()>& done) {
    // Hand-overs arrive as posted events; Wake posts one too, so a change of DONE is never missed.
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
}

void TQtDispatcher::Wake() {
    QMetaObject::invokeMethod(
        &FContext, [] {}, Qt::QueuedConnection);
}

} // namespace orvelle
