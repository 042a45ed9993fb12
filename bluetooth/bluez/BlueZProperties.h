// The properties of the BlueZ daemon's adapters and devices that the backend reads, taken from its
// property dictionaries. A property that is missing or of another type than the daemon's documented
// one is left out, never an error: the daemon and remote devices are outside our control.
#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace orvelle {

struct TBlueZProperties {
    std::optional<std::string> Address;
    std::optional<std::string> Name;
    std::optional<std::string> Alias;
    std::optional<std::uint32_t> Class;
    std::optional<std::int16_t> Rssi;
    std::optional<bool> Powered;
    std::optional<bool> Discoverable;
    std::optional<std::string> Adapter;

    // Takes over every property that UPDATE holds.
    void Merge(const TBlueZProperties& update);
};

// The objects of the daemon with the interfaces this backend uses, by object path.
struct TBlueZObjects {
    std::map<std::string, TBlueZProperties> Adapters;
    std::map<std::string, TBlueZProperties> Devices;
};

inline constexpr const char* BlueZService = "org.bluez";
inline constexpr const char* AdapterInterface = "org.bluez.Adapter1";
inline constexpr const char* DeviceInterface = "org.bluez.Device1";

// Reads a property dictionary (a{sv}) at MESSAGE's read position. Negative errno on a broken message.
int ReadProperties(sd_bus_message* message, TBlueZProperties& properties);

// Reads an interface dictionary (a{sa{sv}}) of object PATH into OBJECTS.
int ReadInterfaces(sd_bus_message* message, const std::string& path, TBlueZObjects& objects);

// Reads the reply of the object manager's GetManagedObjects (a{oa{sa{sv}}}).
int ReadManagedObjects(sd_bus_message* message, TBlueZObjects& objects);

} // namespace orvelle
