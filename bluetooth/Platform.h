// The Bluetooth platform layer: the one interface through which the program reaches a radio. The
// simulated radio, the BlueZ backend and the test fakes implement it; nothing above it knows which.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orvelle {

// A remote device's socket address as a lookup result carries it: the 48-bit device address in the
// low bits of Address. A result whose address length is not BluetoothAddressLength carries none.
struct TSocketAddress {
    std::uint64_t Address = 0;
};
inline constexpr int BluetoothAddressLength = 6;

// One result of an inquiry lookup: one device in range.
struct TInquiryResult {
    std::string Name; // code-page text, empty when the device gave none; never holds a NUL byte
    std::uint32_t ClassOfDevice = 0;
    TSocketAddress RemoteAddress;
    int RemoteAddressLength = 0;
};

// One result of a service lookup: one service record in the SDP data-element encoding, or none.
struct TServiceResult {
    std::optional<std::string> Record;
};

// What a result occupies in the caller's result buffer: the fixed part (query set, class GUID,
// address entry with its two socket addresses, record header) plus its name or record bytes. A
// result larger than the buffer offered to a next call fails that call with leInsufficientBuffer.
inline constexpr std::size_t ResultFixedSize = 168;
std::size_t InquiryResultSize(const TInquiryResult& result);
std::size_t ServiceResultSize(const TServiceResult& result);

// What one local radio reports about itself.
struct TRadioInformation {
    std::array<std::uint8_t, 6> Address{}; // least significant byte first
    std::u16string Name;
    std::uint32_t ClassOfDevice = 0;
    std::uint16_t LmpSubversion = 0;
    std::uint16_t Manufacturer = 0;
};

using TLookupHandle = std::uint64_t;
using TRadioFindHandle = std::uint64_t;
using TRadioHandle = std::uint64_t;

// Every operation that fails returns false (or nothing found) and sets the calling thread's last
// error (bluetooth/sdp/LastError.h). The lookups tell their outcomes apart by it: leServiceNotFound
// (10108) from a begin means nothing found, leNoMoreResults (10110) from a next means no more
// results, anything else is a failure. Implementations are called from the scan thread and the GUI
// thread at once (inquiry there, radio information here) and must allow that.
class TBluetoothPlatform {
public:
    virtual ~TBluetoothPlatform() = default;

    // A fresh inquiry of the devices in range, one device per result.
    virtual bool InquiryBegin(TLookupHandle& handle) = 0;
    virtual bool InquiryNext(TLookupHandle handle, std::size_t bufferLength, TInquiryResult& result) = 0;
    // Called once after every successful begin, also after a failed next.
    virtual void InquiryEnd(TLookupHandle handle) = 0;

    // A fresh search of the service records of the device whose address text is ADDRESS (as made by
    // AddressToString), one record per result, every record that uses L2CAP.
    virtual bool ServiceBegin(const std::string& address, TLookupHandle& handle) = 0;
    virtual bool ServiceNext(TLookupHandle handle, std::size_t bufferLength, TServiceResult& result) = 0;
    virtual void ServiceEnd(TLookupHandle handle) = 0;

    // The address text of a socket address in three steps, each with its own failure, as a stack that
    // converts addresses through a socket does: open the converter, read its protocol information,
    // convert. CloseAddressConverter follows every successful open. The defaults suit a stack that
    // needs no socket: the first two steps succeed and the conversion is FormatAddressText, failing
    // with leInvalidParameter when LENGTH is not BluetoothAddressLength.
    virtual bool OpenAddressConverter(TLookupHandle& converter);
    virtual bool ReadProtocolInformation(TLookupHandle converter);
    virtual bool AddressToString(TLookupHandle converter, const TSocketAddress& address, int length,
                                 std::string& text);
    virtual void CloseAddressConverter(TLookupHandle converter);

    // The local radios: FindFirstRadio returns false (last error leNoMoreItems) when there is none;
    // otherwise FindRadioClose follows, and CloseRadio follows every radio handle given out.
    virtual bool FindFirstRadio(TRadioFindHandle& find, TRadioHandle& radio) = 0;
    virtual bool FindNextRadio(TRadioFindHandle find, TRadioHandle& radio) = 0;
    virtual void FindRadioClose(TRadioFindHandle find) = 0;
    virtual bool GetRadioInfo(TRadioHandle radio, TRadioInformation& information) = 0;
    virtual bool IsDiscoverable(TRadioHandle radio) = 0;
    virtual bool IsConnectable(TRadioHandle radio) = 0;
    virtual void CloseRadio(TRadioHandle radio) = 0;
};

// The address text of a device: "(" + the six bytes in upper-case hexadecimal, most significant
// first, joined by ":" + ")", for example (00:0A:3A:54:12:34). Backends use it for their conversion.
std::string FormatAddressText(std::uint64_t address);

// Parses an address text made by FormatAddressText; nothing when TEXT is not one.
std::optional<std::uint64_t> ParseAddressText(std::string_view text);

// Parses an address in its usual written form, six hexadecimal byte pairs joined by ":" (either case),
// most significant first; nothing when TEXT is not one.
std::optional<std::uint64_t> ParseBluetoothAddress(std::string_view text);

// The process's platform: installed once at start (or by a test), used by the inquiry, the service
// query and the radio information window. Platform() raises EOrvelleError when none is installed.
void SetPlatform(std::shared_ptr<TBluetoothPlatform> platform);
TBluetoothPlatform& Platform();

} // namespace orvelle
