// The thread-local last error of the Bluetooth platform layer and the texts of its numbers.
#include "bluetooth/sdp/LastError.h"

#include <algorithm>
#include <array>
#include <utility>

namespace orvelle {

namespace {

thread_local std::uint32_t LastError = leSuccess;

constexpr std::array<std::pair<std::uint32_t, const char*>, 21> ErrorTexts{{
    {leSuccess, "The operation completed successfully.\r\n"},
    {leAccessDenied, "Access is denied.\r\n"},
    {leNotEnoughMemory, "Not enough storage is available to process this command.\r\n"},
    {leInvalidData, "The data is invalid.\r\n"},
    {leInvalidParameter, "The parameter is incorrect.\r\n"},
    {leInsufficientBuffer, "The data area passed to a system call is too small.\r\n"},
    {leNoMoreItems, "No more data is available.\r\n"},
    {leNotFound, "Element not found.\r\n"},
    {leNetworkDown, "A socket operation encountered a dead network.\r\n"},
    {leTimedOut, "A connection attempt failed because the connected party did not properly respond after a "
                 "period of time, or established connection failed because connected host has failed to "
                 "respond.\r\n"},
    {leConnectionRefused, "No connection could be made because the target machine actively refused it.\r\n"},
    {leHostDown, "A socket operation failed because the destination host was down.\r\n"},
    {leServiceNotFound,
     "No such service is known. The service cannot be found in the specified name space.\r\n"},
    {leNoMoreResults, "No more results can be returned by WSALookupServiceNext.\r\n"},
    {leBluetoothServiceMissing, "The Bluetooth service is not running.\r\n"},
    {leNoAdapter, "No Bluetooth adapter was found. Plug one in, or unblock it with rfkill.\r\n"},
    {leAdapterPoweredOff,
     "The Bluetooth adapter is powered off. Switch it on, for example with bluetoothctl power on.\r\n"},
    {lePermissionDenied,
     "Permission to use Bluetooth was denied. Add the user to the bluetooth group and log in again.\r\n"},
    {leNoBluetoothSockets, "This computer's kernel offers no Bluetooth sockets.\r\n"},
    {leServiceSearchRefused, "The device refused the service search.\r\n"},
    {leBluetoothFailure, "The Bluetooth operation failed.\r\n"},
}};

} // namespace

std::uint32_t GetLastError() {
    return LastError;
}

void SetLastError(std::uint32_t code) {
    LastError = code;
}

std::string GetLastErrorText() {
    return LastErrorText(LastError);
}

std::string LastErrorText(std::uint32_t code) {
    const auto* entry = std::find_if(ErrorTexts.begin(), ErrorTexts.end(),
                                     [code](const auto& pair) { return pair.first == code; });
    return entry != ErrorTexts.end() ? std::string(entry->second) : std::to_string(code);
}

} // namespace orvelle
