// What the inquiry pass needs from the thread that runs it: whether to stop, and its two hand-overs to
// the window. The discovery thread implements it and installs itself as the process's host.
#pragma once

#include <string>

namespace orvelle {

class TDiscoveryHost {
public:
    virtual ~TDiscoveryHost() = default;

    // True once the thread has been asked to terminate; polled before each inquiry result is read.
    virtual bool IsTerminated() = 0;
    // Hands TEXT to the window's log and waits until it is there; the window's failure is raised here.
    virtual void LogMessage(const std::string& text) = 0;
    // Hands the new-device sound and the device list rebuild request to the window, waiting for each.
    virtual void NewDeviceFound() = 0;
};

// The process's host, set by the discovery thread when it is created and cleared when it is destroyed.
// The inquiry pass raises EOrvelleError when there is none.
void SetDiscoveryHost(TDiscoveryHost* host);
TDiscoveryHost* DiscoveryHost();

} // namespace orvelle
