// The BlueZ daemon stand-in of the D-Bus tests: a private bus daemon in a temporary directory, with
// the system bus address pointed at it, and python3-dbusmock's bluez5 template serving on it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace orvelle::test {

// A private dbus-daemon; DBUS_SYSTEM_BUS_ADDRESS points to it while it lives.
class TPrivateBus {
public:
    TPrivateBus();
    ~TPrivateBus();
    TPrivateBus(const TPrivateBus&) = delete;
    TPrivateBus& operator=(const TPrivateBus&) = delete;

    bool Running() const { return FDaemon > 0; }
    const std::string& Directory() const { return FDirectory; }

private:
    std::string FDirectory;
    pid_t FDaemon = -1;
};

// The mock daemon on the private bus; its methods drive it through their own bus connection, so they
// may be called from any thread.
class TMockBlueZ {
public:
    // Starts the mock; its own log of calls and signals goes to LOG.
    explicit TMockBlueZ(const std::string& log);
    ~TMockBlueZ();
    TMockBlueZ(const TMockBlueZ&) = delete;
    TMockBlueZ& operator=(const TMockBlueZ&) = delete;

    bool Running() const { return FMock > 0; }

    // Adds adapter /org/bluez/NAME (powered, address 0N:0N+1:...) with ALIAS.
    void AddAdapter(const std::string& name, const std::string& alias);
    // Adds a device (with a signal strength, as a device just found) and announces it.
    std::string AddDevice(const std::string& adapter, const std::string& address, const std::string& name);
    // Adds a device with an address, a class and a signal strength but no name, and announces it.
    std::string AddNamelessDevice(const std::string& adapter, const std::string& address, std::uint32_t cod);

    // Changes one property of INTERFACE on object PATH and emits the change. TYPE is the D-Bus type
    // character of the value that follows.
    void SetProperty(const std::string& path, const char* interface, const char* name, const char* signature,
                     ...);

    // Reads the adapter's transport discovery filter ("" when none was set) and its discovering state.
    std::string DiscoveryTransport(const std::string& adapterPath);
    bool Discovering(const std::string& adapterPath);
    // Waits (up to ten seconds) until a client has started discovery on the adapter: from then on what
    // the test does on air happens inside the client's window.
    bool WaitUntilDiscovering(const std::string& adapterPath);

private:
    pid_t FMock = -1;
};

// A private bus with the mock daemon serving on it, for a test that needs both throughout.
struct TMockBlueZOnBus {
    TMockBlueZOnBus() : Mock(Bus.Directory() + "/mock.log") {}
    bool Running() const { return Bus.Running() && Mock.Running(); }

    TPrivateBus Bus;
    TMockBlueZ Mock;
};

// The object path the mock gives a device.
std::string DevicePath(const std::string& adapter, const std::string& address);

} // namespace orvelle::test
