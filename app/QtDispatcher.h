// The discovery thread's hand-overs carried out with Qt's blocking queued invocation on the GUI thread.
#pragma once

#include "scan/Dispatcher.h"

#include <QObject>

namespace orvelle {

class TQtDispatcher : public TDispatcher {
public:
    // Hand-overs run on the thread of the object created here: the thread that creates the dispatcher.
    TQtDispatcher();

    void Synchronize(const std::function<void()>& call) override;
    void ServeUntil(const std::function<bool()>& done) override;
    void Wake() override;

private:
    QObject FContext;
};

} // namespace orvelle
