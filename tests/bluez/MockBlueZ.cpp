// Starting and stopping the private bus and the mock daemon, and driving the mock over sd-bus.
#include "MockBlueZ.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <chrono>
#include <cstdarg>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

namespace orvelle::test {

namespace {

// Starts a child with its output in LOG, so that the test's own output stays readable.
pid_t Spawn(std::vector<std::string> arguments, const std::string& log) {
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t child = -1;
    const int result = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return result == 0 ? child : -1;
}

void Stop(pid_t child) {
    if (child <= 0)
        return;
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
}

// One call on the private bus through a fresh connection; throws when it fails.
class TDriver {
public:
    TDriver() {
        if (sd_bus_open_system(&FBus) < 0)
            throw std::runtime_error("cannot reach the private bus");
    }
    ~TDriver() {
        sd_bus_message_unref(FReply);
        sd_bus_error_free(&FError);
        sd_bus_flush_close_unref(FBus);
    }
    TDriver(const TDriver&) = delete;
    TDriver& operator=(const TDriver&) = delete;

    sd_bus* Bus() { return FBus; }

    // Sends MESSAGE and keeps the reply; false when the call fails.
    bool Send(sd_bus_message* message) {
        const int result = sd_bus_call(FBus, message, 0, &FError, &FReply);
        sd_bus_message_unref(message);
        return result >= 0;
    }

    sd_bus_message* NewCall(const char* destination, const char* path, const char* interface,
                            const char* member) {
        sd_bus_message* message = nullptr;
        if (sd_bus_message_new_method_call(FBus, &message, destination, path, interface, member) < 0)
            throw std::runtime_error("cannot build a call");
        return message;
    }

    sd_bus_message* Reply() { return FReply; }

    void Require(bool ok, const char* what) {
        if (!ok)
            throw std::runtime_error(std::string(what) + ": " + (FError.message ? FError.message : "failed"));
    }

private:
    sd_bus* FBus = nullptr;
    sd_bus_message* FReply = nullptr;
    sd_bus_error FError{};
};

constexpr const char* MockInterface = "org.freedesktop.DBus.Mock";

template<class Ready>
bool WaitUntil(Ready ready) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (ready())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

} // namespace

std::string DevicePath(const std::string& adapter, const std::string& address) {
    std::string path = "/org/bluez/" + adapter + "/dev_" + address;
    for (char& c : path)
        if (c == ':')
            c = '_';
    return path;
}

TPrivateBus::TPrivateBus() {
    char pattern[] = "/tmp/orvelle-bluez-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    FDirectory = pattern;
    const std::string socket = FDirectory + "/system_bus_socket";
    std::ofstream(FDirectory + "/bus.conf")
        << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig><type>session</type><listen>unix:path="
        << socket
        << "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\" "
           "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";
    setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + socket).c_str(), 1);
    FDaemon = Spawn({"dbus-daemon", "--nofork", "--nopidfile", "--config-file=" + FDirectory + "/bus.conf"},
                    FDirectory + "/bus.log");
    if (FDaemon > 0 && !WaitUntil([&] { return std::filesystem::exists(socket); })) {
        Stop(FDaemon);
        FDaemon = -1;
    }
}

TPrivateBus::~TPrivateBus() {
    Stop(FDaemon);
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    std::filesystem::remove_all(FDirectory);
}

TMockBlueZ::TMockBlueZ(const std::string& log) {
    FMock = Spawn({"/usr/bin/python3", "-m", "dbusmock", "--system", "--template", "bluez5"}, log);
    const bool ready =
        FMock > 0 && WaitUntil([] {
            TDriver driver;
            int owned = 0;
            sd_bus_message* call = driver.NewCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                  "org.freedesktop.DBus", "NameHasOwner");
            sd_bus_message_append(call, "s", "org.bluez");
            return driver.Send(call) && sd_bus_message_read(driver.Reply(), "b", &owned) > 0 && owned;
        });
    if (!ready) {
        Stop(FMock);
        FMock = -1;
    }
}

TMockBlueZ::~TMockBlueZ() {
    Stop(FMock);
}

void TMockBlueZ::AddAdapter(const std::string& name, const std::string& alias) {
    TDriver driver;
    sd_bus_message* call = driver.NewCall("org.bluez", "/", "org.bluez.Mock", "AddAdapter");
    sd_bus_message_append(call, "ss", name.c_str(), alias.c_str());
    driver.Require(driver.Send(call), "AddAdapter");
}

std::string TMockBlueZ::AddDevice(const std::string& adapter, const std::string& address,
                                  const std::string& name) {
    TDriver driver;
    sd_bus_message* call = driver.NewCall("org.bluez", "/", "org.bluez.Mock", "AddDevice");
    sd_bus_message_append(call, "sss", adapter.c_str(), address.c_str(), name.c_str());
    driver.Require(driver.Send(call), "AddDevice");
    return DevicePath(adapter, address);
}

std::string TMockBlueZ::AddNamelessDevice(const std::string& adapter, const std::string& address,
                                          std::uint32_t cod) {
    const std::string path = DevicePath(adapter, address);
    {
        TDriver driver;
        sd_bus_message* call = driver.NewCall("org.bluez", "/", MockInterface, "AddObject");
        sd_bus_message_append(call, "ssa{sv}a(ssss)", path.c_str(), "org.bluez.Device1", 3, "Address", "s",
                              address.c_str(), "Class", "u", cod, "RSSI", "n", std::int16_t{-60}, 0);
        driver.Require(driver.Send(call), "AddObject");
    }
    TDriver driver;
    sd_bus_message* call = driver.NewCall("org.bluez", "/", MockInterface, "EmitSignal");
    sd_bus_message_append(call, "sssav", "org.freedesktop.DBus.ObjectManager", "InterfacesAdded",
                          "oa{sa{sv}}", 2, "o", path.c_str(), "a{sa{sv}}", 1, "org.bluez.Device1", 3,
                          "Address", "s", address.c_str(), "Class", "u", cod, "RSSI", "n", std::int16_t{-60});
    driver.Require(driver.Send(call), "EmitSignal");
    return path;
}

void TMockBlueZ::SetProperty(const std::string& path, const char* interface, const char* name,
                             const char* signature, ...) {
    TDriver driver;
    sd_bus_message* call = driver.NewCall("org.bluez", path.c_str(), MockInterface, "UpdateProperties");
    sd_bus_message_append(call, "s", interface);
    sd_bus_message_open_container(call, 'a', "{sv}");
    sd_bus_message_open_container(call, 'e', "sv");
    sd_bus_message_append(call, "s", name);
    sd_bus_message_open_container(call, 'v', signature);
    va_list arguments;
    va_start(arguments, signature);
    sd_bus_message_appendv(call, signature, arguments);
    va_end(arguments);
    sd_bus_message_close_container(call);
    sd_bus_message_close_container(call);
    sd_bus_message_close_container(call);
    driver.Require(driver.Send(call), "UpdateProperties");
}

std::string TMockBlueZ::DiscoveryTransport(const std::string& adapterPath) {
    TDriver driver;
    sd_bus_message* call =
        driver.NewCall("org.bluez", adapterPath.c_str(), "org.freedesktop.DBus.Properties", "Get");
    sd_bus_message_append(call, "ss", "org.bluez.Adapter1", "DiscoveryFilter");
    driver.Require(driver.Send(call), "Get DiscoveryFilter");
    // The filter is a dictionary once set; before that the mock holds no dictionary at all.
    sd_bus_message* reply = driver.Reply();
    if (sd_bus_message_enter_container(reply, 'v', "a{sv}") <= 0 ||
        sd_bus_message_enter_container(reply, 'a', "{sv}") <= 0)
        return "";
    std::string transport;
    while (sd_bus_message_enter_container(reply, 'e', "sv") > 0) {
        const char* key = nullptr;
        const char* value = nullptr;
        sd_bus_message_read(reply, "s", &key);
        if (std::string(key) == "Transport" && sd_bus_message_read(reply, "v", "s", &value) > 0)
            transport = value;
        else
            sd_bus_message_skip(reply, "v");
        sd_bus_message_exit_container(reply);
    }
    return transport;
}

bool TMockBlueZ::Discovering(const std::string& adapterPath) {
    TDriver driver;
    int discovering = 0;
    sd_bus_message* call =
        driver.NewCall("org.bluez", adapterPath.c_str(), "org.freedesktop.DBus.Properties", "Get");
    sd_bus_message_append(call, "ss", "org.bluez.Adapter1", "Discovering");
    driver.Require(driver.Send(call) && sd_bus_message_read(driver.Reply(), "v", "b", &discovering) > 0,
                   "Get Discovering");
    return discovering != 0;
}

bool TMockBlueZ::WaitUntilDiscovering(const std::string& adapterPath) {
    return WaitUntil([&] { return Discovering(adapterPath); });
}

} // namespace orvelle::test
