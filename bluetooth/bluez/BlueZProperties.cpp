// Reading the daemon's property dictionaries: each known name taken only with its documented type,
// everything else skipped.
#include "bluetooth/bluez/BlueZProperties.h"

#include <cstring>

namespace orvelle {

namespace {

template<class T>
void Take(std::optional<T>& target, const std::optional<T>& source) {
    if (source)
        target = source;
}

int ReadString(sd_bus_message* message, char type, std::optional<std::string>& target) {
    const char* value = nullptr;
    const int result = sd_bus_message_read_basic(message, type, &value);
    if (result > 0)
        target = value;
    return result;
}

template<class T>
int ReadValue(sd_bus_message* message, char type, std::optional<T>& target) {
    T value{};
    const int result = sd_bus_message_read_basic(message, type, &value);
    if (result > 0)
        target = value;
    return result;
}

int ReadFlag(sd_bus_message* message, std::optional<bool>& target) {
    int value = 0;
    const int result = sd_bus_message_read_basic(message, 'b', &value);
    if (result > 0)
        target = value != 0;
    return result;
}

// The properties read, each with its documented signature and where it goes.
struct TKnownProperty {
    const char* Name;
    const char* Signature;
    int (*Read)(sd_bus_message*, TBlueZProperties&);
};

constexpr TKnownProperty KnownProperties[] = {
    {"Address", "s", [](sd_bus_message* m, TBlueZProperties& p) { return ReadString(m, 's', p.Address); }},
    {"Name", "s", [](sd_bus_message* m, TBlueZProperties& p) { return ReadString(m, 's', p.Name); }},
    {"Alias", "s", [](sd_bus_message* m, TBlueZProperties& p) { return ReadString(m, 's', p.Alias); }},
    {"Adapter", "o", [](sd_bus_message* m, TBlueZProperties& p) { return ReadString(m, 'o', p.Adapter); }},
    {"Class", "u", [](sd_bus_message* m, TBlueZProperties& p) { return ReadValue(m, 'u', p.Class); }},
    {"RSSI", "n", [](sd_bus_message* m, TBlueZProperties& p) { return ReadValue(m, 'n', p.Rssi); }},
    {"Powered", "b", [](sd_bus_message* m, TBlueZProperties& p) { return ReadFlag(m, p.Powered); }},
    {"Discoverable", "b", [](sd_bus_message* m, TBlueZProperties& p) { return ReadFlag(m, p.Discoverable); }},
};

// Reads the variant of property NAME into PROPERTIES when its signature is the documented one; leaves
// the variant unread (for the caller to skip) otherwise. Returns 1 when read, 0 when not, or negative.
int ReadKnownProperty(sd_bus_message* message, const char* name, const char* signature,
                      TBlueZProperties& properties) {
    for (const auto& known : KnownProperties) {
        if (std::strcmp(known.Name, name) != 0 || std::strcmp(known.Signature, signature) != 0)
            continue;
        int result = sd_bus_message_enter_container(message, SD_BUS_TYPE_VARIANT, signature);
        if (result > 0)
            result = known.Read(message, properties);
        if (result > 0)
            result = sd_bus_message_exit_container(message);
        return result < 0 ? result : 1;
    }
    return 0;
}

// Loops over the entries of the array container (already entered) whose entries are dictionary
// entries with signature ENTRY, calling READ_ENTRY inside each.
template<class ReadEntry>
int ForEachEntry(sd_bus_message* message, const char* entry, ReadEntry readEntry) {
    int result;
    while ((result = sd_bus_message_enter_container(message, SD_BUS_TYPE_DICT_ENTRY, entry)) > 0) {
        if ((result = readEntry()) < 0)
            return result;
        if ((result = sd_bus_message_exit_container(message)) < 0)
            return result;
    }
    return result;
}

} // namespace

void TBlueZProperties::Merge(const TBlueZProperties& update) {
    Take(Address, update.Address);
    Take(Name, update.Name);
    Take(Alias, update.Alias);
    Take(Class, update.Class);
    Take(Rssi, update.Rssi);
    Take(Powered, update.Powered);
    Take(Discoverable, update.Discoverable);
    Take(Adapter, update.Adapter);
}

int ReadProperties(sd_bus_message* message, TBlueZProperties& properties) {
    int result = sd_bus_message_enter_container(message, SD_BUS_TYPE_ARRAY, "{sv}");
    if (result <= 0)
        return result < 0 ? result : -EBADMSG;
    result = ForEachEntry(message, "sv", [&]() -> int {
        const char* name = nullptr;
        int read = sd_bus_message_read_basic(message, 's', &name);
        if (read < 0)
            return read;
        const char* signature = nullptr;
        char type = 0;
        if ((read = sd_bus_message_peek_type(message, &type, &signature)) < 0)
            return read;
        if (type != SD_BUS_TYPE_VARIANT || !signature)
            return -EBADMSG;
        read = ReadKnownProperty(message, name, signature, properties);
        return read == 0 ? sd_bus_message_skip(message, "v") : read;
    });
    return result < 0 ? result : sd_bus_message_exit_container(message);
}

int ReadInterfaces(sd_bus_message* message, const std::string& path, TBlueZObjects& objects) {
    int result = sd_bus_message_enter_container(message, SD_BUS_TYPE_ARRAY, "{sa{sv}}");
    if (result <= 0)
        return result < 0 ? result : -EBADMSG;
    result = ForEachEntry(message, "sa{sv}", [&]() -> int {
        const char* interface = nullptr;
        const int read = sd_bus_message_read_basic(message, 's', &interface);
        if (read < 0)
            return read;
        if (std::strcmp(interface, AdapterInterface) == 0)
            return ReadProperties(message, objects.Adapters[path]);
        if (std::strcmp(interface, DeviceInterface) == 0)
            return ReadProperties(message, objects.Devices[path]);
        return sd_bus_message_skip(message, "a{sv}");
    });
    return result < 0 ? result : sd_bus_message_exit_container(message);
}

int ReadManagedObjects(sd_bus_message* message, TBlueZObjects& objects) {
    int result = sd_bus_message_enter_container(message, SD_BUS_TYPE_ARRAY, "{oa{sa{sv}}}");
    if (result <= 0)
        return result < 0 ? result : -EBADMSG;
    result = ForEachEntry(message, "oa{sa{sv}}", [&]() -> int {
        const char* path = nullptr;
        const int read = sd_bus_message_read_basic(message, 'o', &path);
        return read < 0 ? read : ReadInterfaces(message, path, objects);
    });
    return result < 0 ? result : sd_bus_message_exit_container(message);
}

} // namespace orvelle
