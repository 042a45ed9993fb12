// The process's discovery host, reached by the inquiry pass.
#include "bluetooth/DiscoveryHost.h"

#include <atomic>

namespace orvelle {

namespace {
std::atomic<TDiscoveryHost*> CurrentHost{nullptr};
}

void SetDiscoveryHost(TDiscoveryHost* host) {
    CurrentHost.store(host);
}

TDiscoveryHost* DiscoveryHost() {
    return CurrentHost.load();
}

} // namespace orvelle
