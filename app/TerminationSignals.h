// SIGINT and SIGTERM turned into an ordinary call on the GUI thread, so that the window closes the
// way the Exit command closes it (session saved, scan thread stopped, "Scan finished" logged).
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace orvelle {

class TTerminationSignals : public QObject {
public:
    // Installs the handlers; ONSIGNAL runs on the GUI thread for each signal received. One instance
    // at a time; the destructor restores the previous handlers.
    explicit TTerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TTerminationSignals() override;

private:
    void SignalArrived();

    std::function<void()> FOnSignal;
    QSocketNotifier* FNotifier;
};

} // namespace orvelle
