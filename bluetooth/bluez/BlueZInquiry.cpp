// The inquiry pass over D-Bus: subscribe to the daemon's signals, read its objects, filter discovery to
// classic devices, start it, pump the signals for the window, stop it.
#include "bluetooth/bluez/BlueZInquiry.h"

#include "bluetooth/bluez/BlueZProperties.h"
#include "bluetooth/bluez/SdBus.h"
#include "bluetooth/sdp/CodePage.h"
#include "bluetooth/sdp/LastError.h"

#include <algorithm>

namespace orvelle {

namespace {

constexpr auto PumpSlice = std::chrono::milliseconds(200);

constexpr const char* InterfacesAddedMatch = "type='signal',sender='org.bluez',path='/',"
                                             "interface='org.freedesktop.DBus.ObjectManager',"
                                             "member='InterfacesAdded'";
constexpr const char* DevicePropertiesMatch = "type='signal',sender='org.bluez',"
                                              "interface='org.freedesktop.DBus.Properties',"
                                              "member='PropertiesChanged',arg0='org.bluez.Device1'";

// What one pass knows of the daemon's devices under its adapter, and which of them it has seen.
class TInquiryPass {
public:
    explicit TInquiryPass(std::string adapterPath) : FDevicePrefix(std::move(adapterPath) + "/") {}

    void Known(const std::map<std::string, TBlueZProperties>& devices) {
        for (const auto& [path, properties] : devices)
            if (path.starts_with(FDevicePrefix))
                FDevices[path].Merge(properties);
    }

    void InterfacesAdded(sd_bus_message* message) {
        const char* path = nullptr;
        TBlueZObjects added;
        if (sd_bus_message_read_basic(message, 'o', &path) <= 0 || ReadInterfaces(message, path, added) < 0)
            return;
        for (const auto& [devicePath, properties] : added.Devices)
            Update(devicePath.c_str(), properties, true);
    }

    void PropertiesChanged(sd_bus_message* message) {
        const char* interface = nullptr;
        TBlueZProperties changed;
        if (sd_bus_message_read_basic(message, 's', &interface) <= 0 || ReadProperties(message, changed) < 0)
            return;
        Update(sd_bus_message_get_path(message), changed, changed.Rssi.has_value());
    }

    std::vector<TInquiryResult> Results() const {
        std::vector<TInquiryResult> results;
        for (const auto& path : FSeen) {
            const TBlueZProperties& device = FDevices.at(path);
            const auto address = ParseBluetoothAddress(device.Address.value_or(""));
            if (!address)
                continue;
            TInquiryResult result;
            result.Name = Utf8ToCodePage(device.Name.value_or(""));
            // The name travels as a C string: a NUL byte would cut it anyway.
            result.Name.erase(std::remove(result.Name.begin(), result.Name.end(), '\0'), result.Name.end());
            result.ClassOfDevice = device.Class.value_or(0);
            result.RemoteAddress.Address = *address;
            result.RemoteAddressLength = BluetoothAddressLength;
            results.push_back(std::move(result));
        }
        return results;
    }

private:
    void Update(const char* path, const TBlueZProperties& properties, bool seen) {
        if (!path || !std::string_view(path).starts_with(FDevicePrefix))
            return;
        FDevices[path].Merge(properties);
        if (seen && std::find(FSeen.begin(), FSeen.end(), path) == FSeen.end())
            FSeen.emplace_back(path);
    }

    std::string FDevicePrefix;
    std::map<std::string, TBlueZProperties> FDevices;
    std::vector<std::string> FSeen;
};

// The adapter to inquire with: the first powered one. False with leNoAdapter or leAdapterPoweredOff.
bool ChooseAdapter(const TBlueZObjects& objects, std::string& adapterPath) {
    if (objects.Adapters.empty()) {
        SetLastError(leNoAdapter);
        return false;
    }
    for (const auto& [path, adapter] : objects.Adapters) {
        if (adapter.Powered.value_or(false)) {
            adapterPath = path;
            return true;
        }
    }
    SetLastError(leAdapterPoweredOff);
    return false;
}

int AppendClassicFilter(sd_bus_message* message) {
    return sd_bus_message_append(message, "a{sv}", 1, "Transport", "s", "bredr");
}

} // namespace

bool RunInquiry(std::chrono::milliseconds window, const std::function<bool()>& stop,
                std::vector<TInquiryResult>& seen) {
    TSystemBus bus;
    if (!bus.Open())
        return false;

    // Subscribe before reading the objects, so that nothing added in between is missed.
    std::unique_ptr<TInquiryPass> pass;
    if (!bus.AddMatch(InterfacesAddedMatch,
                      [&](sd_bus_message* m) {
                          if (pass)
                              pass->InterfacesAdded(m);
                      }) ||
        !bus.AddMatch(DevicePropertiesMatch, [&](sd_bus_message* m) {
            if (pass)
                pass->PropertiesChanged(m);
        }))
        return false;

    TBusMessage reply;
    if (!bus.Call(BlueZService, "/", "org.freedesktop.DBus.ObjectManager", "GetManagedObjects", nullptr,
                  reply))
        return false;
    TBlueZObjects objects;
    if (ReadManagedObjects(reply.Get(), objects) < 0) {
        SetLastError(leInvalidData);
        return false;
    }
    std::string adapter;
    if (!ChooseAdapter(objects, adapter))
        return false;
    pass = std::make_unique<TInquiryPass>(adapter);
    pass->Known(objects.Devices);

    // The daemon keeps one discovery session per client: the filter is this connection's own and must
    // be set before the session starts.
    TBusMessage ignored;
    if (!bus.Call(BlueZService, adapter.c_str(), AdapterInterface, "SetDiscoveryFilter", AppendClassicFilter,
                  ignored) ||
        !bus.Call(BlueZService, adapter.c_str(), AdapterInterface, "StartDiscovery", nullptr, ignored))
        return false;

    const bool pumped = bus.Pump(std::chrono::steady_clock::now() + window, PumpSlice, stop);
    const std::uint32_t pumpError = GetLastError();
    bus.Call(BlueZService, adapter.c_str(), AdapterInterface, "StopDiscovery", nullptr, ignored);
    if (!pumped) {
        SetLastError(pumpError);
        return false;
    }
    seen = pass->Results();
    return true;
}

} // namespace orvelle
