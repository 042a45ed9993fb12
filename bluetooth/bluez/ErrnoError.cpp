// Maps the Bluetooth socket calls' errno values onto the platform layer's last-error numbers.
#include "bluetooth/bluez/ErrnoError.h"

#include "bluetooth/sdp/LastError.h"

#include <cerrno>

namespace orvelle {

std::uint32_t LastErrorOfErrno(int errorNumber) {
    switch (errorNumber) {
    case EAFNOSUPPORT:
    case EPROTONOSUPPORT:
    case ESOCKTNOSUPPORT:
        return leNoBluetoothSockets;
    case EACCES:
    case EPERM:
        return lePermissionDenied;
    case ETIMEDOUT:
    case EAGAIN:
        return leTimedOut;
    case ECONNREFUSED:
    case ECONNRESET:
        return leConnectionRefused;
    case EHOSTDOWN:
    case EHOSTUNREACH:
        return leHostDown;
    case ENETDOWN:
        return leAdapterPoweredOff;
    case ENODEV:
        return leNoAdapter;
    case ENOMEM:
    case ENOBUFS:
        return leNotEnoughMemory;
    default:
        return leBluetoothFailure;
    }
}

bool FailWith(std::uint32_t code) {
    SetLastError(code);
    return false;
}

bool FailWithErrno(int errorNumber) {
    return FailWith(LastErrorOfErrno(errorNumber));
}

} // namespace orvelle
