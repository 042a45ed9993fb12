// The sd-bus wrapper: connection, blocking calls, signal matches and the pump, and the mapping of bus
// failures onto the last errors an operator can act on.
#include "bluetooth/bluez/SdBus.h"

#include "bluetooth/bluez/ErrnoError.h"
#include "bluetooth/sdp/LastError.h"

#include <cerrno>
#include <cstring>
#include <memory>

namespace orvelle {

namespace {

// A failure of our side of the bus, without an error from the peer.
constexpr sd_bus_error NoPeerError{};

// Errors the BlueZ daemon and the bus itself answer with, and what they mean to an operator.
struct TBusErrorMeaning {
    const char* Name;
    std::uint32_t Code;
};

constexpr TBusErrorMeaning BusErrorMeanings[] = {
    {"org.freedesktop.DBus.Error.ServiceUnknown", leBluetoothServiceMissing},
    {"org.freedesktop.DBus.Error.NameHasNoOwner", leBluetoothServiceMissing},
    {"org.freedesktop.DBus.Error.UnknownObject", leNoAdapter},
    {"org.freedesktop.DBus.Error.UnknownMethod", leNoAdapter},
    {"org.freedesktop.DBus.Error.AccessDenied", lePermissionDenied},
    {"org.bluez.Error.NotAuthorized", lePermissionDenied},
    {"org.freedesktop.DBus.Error.NoReply", leTimedOut},
    {"org.freedesktop.DBus.Error.Timeout", leTimedOut},
    {"org.bluez.Error.NotReady", leAdapterPoweredOff},
    {"org.bluez.Error.Failed", leBluetoothFailure},
};

} // namespace

TBusMessage& TBusMessage::operator=(TBusMessage&& other) noexcept {
    if (this != &other) {
        sd_bus_message_unref(FMessage);
        FMessage = other.FMessage;
        other.FMessage = nullptr;
    }
    return *this;
}

std::uint32_t LastErrorOfBusFailure(int result, const sd_bus_error& error) {
    if (sd_bus_error_is_set(&error)) {
        for (const auto& meaning : BusErrorMeanings)
            if (std::strcmp(error.name, meaning.Name) == 0)
                return meaning.Code;
        return leBluetoothFailure;
    }
    // Without a system bus there is no Bluetooth service either.
    switch (-result) {
    case ENOENT:
    case ECONNREFUSED:
    case ENOTCONN:
    case ECONNRESET:
        return leBluetoothServiceMissing;
    default:
        return LastErrorOfErrno(-result);
    }
}

TSystemBus::~TSystemBus() {
    // Matches hold pointers to the handlers: drop the connection, and with it the matches, first.
    sd_bus_flush_close_unref(FBus);
}

bool TSystemBus::Open() {
    const int result = sd_bus_open_system(&FBus);
    if (result < 0) {
        FBus = nullptr;
        SetLastError(LastErrorOfBusFailure(result, NoPeerError));
        return false;
    }
    return true;
}

bool TSystemBus::Call(const char* destination, const char* path, const char* interface, const char* method,
                      const std::function<int(sd_bus_message*)>& build, TBusMessage& reply) {
    TBusMessage call;
    TBusError error;
    int result = sd_bus_message_new_method_call(FBus, call.Out(), destination, path, interface, method);
    if (result >= 0 && build)
        result = build(call.Get());
    if (result >= 0)
        result = sd_bus_call(FBus, call.Get(), 0, &error.Error, reply.Out());
    if (result < 0) {
        SetLastError(LastErrorOfBusFailure(result, error.Error));
        return false;
    }
    return true;
}

int TSystemBus::Dispatch(sd_bus_message* message, void* handler, sd_bus_error*) {
    (*static_cast<TSignalHandler*>(handler))(message);
    return 0;
}

bool TSystemBus::AddMatch(const std::string& match, TSignalHandler handler) {
    FHandlers.push_back(std::make_unique<TSignalHandler>(std::move(handler)));
    const int result =
        sd_bus_add_match(FBus, nullptr, match.c_str(), &TSystemBus::Dispatch, FHandlers.back().get());
    if (result < 0) {
        SetLastError(LastErrorOfBusFailure(result, NoPeerError));
        return false;
    }
    return true;
}

bool TSystemBus::Pump(std::chrono::steady_clock::time_point deadline, std::chrono::milliseconds slice,
                      const std::function<bool()>& stop) {
    using namespace std::chrono;
    for (;;) {
        int result;
        while ((result = sd_bus_process(FBus, nullptr)) > 0) {
        }
        const auto now = steady_clock::now();
        if (result >= 0 && (now >= deadline || (stop && stop())))
            return true;
        if (result >= 0)
            result = sd_bus_wait(
                FBus,
                duration_cast<microseconds>(std::min<steady_clock::duration>(deadline - now, slice)).count());
        if (result < 0 && result != -EINTR) {
            SetLastError(LastErrorOfBusFailure(result, NoPeerError));
            return false;
        }
    }
}

} // namespace orvelle
