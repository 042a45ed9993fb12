// The platform layer's shared pieces: result sizes, the address text and the installed platform.
#include "bluetooth/Platform.h"

#include "bluetooth/sdp/HexText.h"
#include "bluetooth/sdp/LastError.h"
#include "inventory/Errors.h"

#include <cstdio>
#include <mutex>

namespace orvelle {

namespace {

std::mutex PlatformMutex;
std::shared_ptr<TBluetoothPlatform> InstalledPlatform;

} // namespace

std::size_t InquiryResultSize(const TInquiryResult& result) {
    return ResultFixedSize + result.Name.size() + 1;
}

std::size_t ServiceResultSize(const TServiceResult& result) {
    return ResultFixedSize + (result.Record ? result.Record->size() : 0);
}

bool TBluetoothPlatform::OpenAddressConverter(TLookupHandle& converter) {
    converter = 0;
    return true;
}

bool TBluetoothPlatform::ReadProtocolInformation(TLookupHandle) {
    return true;
}

bool TBluetoothPlatform::AddressToString(TLookupHandle, const TSocketAddress& address, int length,
                                         std::string& text) {
    if (length != BluetoothAddressLength) {
        SetLastError(leInvalidParameter);
        return false;
    }
    text = FormatAddressText(address.Address);
    return true;
}

void TBluetoothPlatform::CloseAddressConverter(TLookupHandle) {}

std::string FormatAddressText(std::uint64_t address) {
    char text[20];
    std::snprintf(text, sizeof text, "(%02X:%02X:%02X:%02X:%02X:%02X)", unsigned(address >> 40 & 0xFF),
                  unsigned(address >> 32 & 0xFF), unsigned(address >> 24 & 0xFF),
                  unsigned(address >> 16 & 0xFF), unsigned(address >> 8 & 0xFF), unsigned(address & 0xFF));
    return text;
}

std::optional<std::uint64_t> ParseBluetoothAddress(std::string_view text) {
    // Six two-digit groups separated by ":": 17 characters.
    if (text.size() != 17)
        return std::nullopt;
    std::uint64_t address = 0;
    for (std::size_t group = 0; group < 6; ++group) {
        const std::size_t at = 3 * group;
        const int high = HexDigitValue(text[at]);
        const int low = HexDigitValue(text[at + 1]);
        if (high < 0 || low < 0 || (group < 5 && text[at + 2] != ':'))
            return std::nullopt;
        address = address << 8 | std::uint64_t(high << 4 | low);
    }
    return address;
}

std::optional<std::uint64_t> ParseAddressText(std::string_view text) {
    if (text.size() < 2 || text.front() != '(' || text.back() != ')')
        return std::nullopt;
    return ParseBluetoothAddress(text.substr(1, text.size() - 2));
}

void SetPlatform(std::shared_ptr<TBluetoothPlatform> platform) {
    std::lock_guard lock(PlatformMutex);
    InstalledPlatform = std::move(platform);
}

TBluetoothPlatform& Platform() {
    std::lock_guard lock(PlatformMutex);
    if (!InstalledPlatform)
        throw EOrvelleError("No Bluetooth platform is installed.");
    return *InstalledPlatform;
}

} // namespace orvelle
