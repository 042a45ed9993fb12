// A small RAII wrapper over sd-bus for the BlueZ backend: one system bus connection owned by the thread
// that opened it, blocking method calls, and the signals pumped by that thread while it waits.
#pragma once

#include <systemd/sd-bus.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvelle {

// Owns one reference to a message.
class TBusMessage {
public:
    TBusMessage() = default;
    explicit TBusMessage(sd_bus_message* message) : FMessage(message) {}
    ~TBusMessage() { sd_bus_message_unref(FMessage); }
    TBusMessage(TBusMessage&& other) noexcept : FMessage(other.FMessage) { other.FMessage = nullptr; }
    TBusMessage& operator=(TBusMessage&& other) noexcept;
    TBusMessage(const TBusMessage&) = delete;
    TBusMessage& operator=(const TBusMessage&) = delete;

    sd_bus_message* Get() const { return FMessage; }
    // For a call that stores a new message here: the one held so far is released first.
    sd_bus_message** Out() {
        FMessage = sd_bus_message_unref(FMessage);
        return &FMessage;
    }

private:
    sd_bus_message* FMessage = nullptr;
};

// Owns an sd_bus_error and frees it. Zero-initialised, it is the library's empty error (its
// initialiser macro is a C compound literal, which C++ lacks).
struct TBusError {
    sd_bus_error Error{};
    TBusError() = default;
    ~TBusError() { sd_bus_error_free(&Error); }
    TBusError(const TBusError&) = delete;
    TBusError& operator=(const TBusError&) = delete;
};

// The last-error number for a failed bus call: RESULT is the negative errno of sd-bus and ERROR the
// D-Bus error the peer returned, if any.
std::uint32_t LastErrorOfBusFailure(int result, const sd_bus_error& error);

class TSystemBus {
public:
    // A handler of matched signals; it sees each message once.
    using TSignalHandler = std::function<void(sd_bus_message*)>;

    TSystemBus() = default;
    ~TSystemBus();
    TSystemBus(const TSystemBus&) = delete;
    TSystemBus& operator=(const TSystemBus&) = delete;

    // Connects to the system bus (DBUS_SYSTEM_BUS_ADDRESS when set). False with the last error set.
    bool Open();

    // Calls METHOD of INTERFACE on the daemon's object PATH. BUILD appends the arguments (may be
    // empty). False with the last error set when the call fails or the daemon answers with an error.
    bool Call(const char* destination, const char* path, const char* interface, const char* method,
              const std::function<int(sd_bus_message*)>& build, TBusMessage& reply);

    // Subscribes HANDLER to the signals that MATCH (a D-Bus match rule) selects, for the life of the
    // connection. False with the last error set.
    bool AddMatch(const std::string& match, TSignalHandler handler);

    // Dispatches every signal that arrives until DEADLINE, waking at least every SLICE so that STOP can
    // end the wait early. False with the last error set when the connection fails.
    bool Pump(std::chrono::steady_clock::time_point deadline, std::chrono::milliseconds slice,
              const std::function<bool()>& stop);

private:
    static int Dispatch(sd_bus_message* message, void* handler, sd_bus_error* error);

    sd_bus* FBus = nullptr;
    std::vector<std::unique_ptr<TSignalHandler>> FHandlers;
};

} // namespace orvelle
