// Reading the local radios: the daemon's adapter objects over D-Bus, and the details only the
// controller knows over a raw HCI socket (allowed without privileges for these two requests).
#include "bluetooth/bluez/BlueZRadios.h"

#include "bluetooth/bluez/BlueZProperties.h"
#include "bluetooth/bluez/KernelBluetooth.h"
#include "bluetooth/bluez/SdBus.h"
#include "bluetooth/sdp/CodePage.h"
#include "bluetooth/sdp/LastError.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <charconv>
#include <optional>

namespace orvelle {

namespace {

constexpr int HciReplyTimeoutMs = 1000;
constexpr std::uint8_t HciCommandPacket = 0x01;
constexpr std::uint8_t HciEventPacket = 0x04;
constexpr std::uint8_t HciCommandComplete = 0x0E;
constexpr std::uint16_t ReadLocalVersionOpcode = 0x1001;

// The controller's own answers, when the kernel lets us ask.
struct TControllerDetails {
    std::uint16_t Manufacturer = 0;
    std::uint16_t LmpSubversion = 0;
    bool PageScan = false;
};

// The kernel's device number of an adapter object path such as /org/bluez/hci0.
std::optional<std::uint16_t> DeviceNumber(std::string_view path) {
    const auto at = path.rfind("/hci");
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::string_view digits = path.substr(at + 4);
    std::uint16_t number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return number;
}

class THciSocket {
public:
    THciSocket() : FSocket(socket(AF_BLUETOOTH, SOCK_RAW | SOCK_CLOEXEC, kernel::BluetoothProtocolHci)) {}
    ~THciSocket() {
        if (FSocket >= 0)
            close(FSocket);
    }
    THciSocket(const THciSocket&) = delete;
    THciSocket& operator=(const THciSocket&) = delete;

    bool Valid() const { return FSocket >= 0; }
    int Get() const { return FSocket; }

private:
    int FSocket;
};

bool ReadPageScan(std::uint16_t device, bool& pageScan) {
    THciSocket hci;
    kernel::THciDevInfo info{};
    info.DeviceId = device;
    if (!hci.Valid() || ioctl(hci.Get(), kernel::HciGetDeviceInfo, &info) < 0)
        return false;
    pageScan = (info.Flags & kernel::HciPageScanFlag) != 0;
    return true;
}

// Sends Read Local Version Information to DEVICE and reads the maker and LMP subversion from the
// command's completion event.
bool ReadLocalVersion(std::uint16_t device, std::uint16_t& manufacturer, std::uint16_t& subversion) {
    THciSocket hci;
    if (!hci.Valid())
        return false;
    kernel::TSockAddrHci address{AF_BLUETOOTH, device, 0};
    kernel::THciFilter filter{};
    filter.TypeMask = 1u << HciEventPacket;
    filter.EventMask[0] = 1u << HciCommandComplete;
    filter.Opcode = ReadLocalVersionOpcode;
    if (bind(hci.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0 ||
        setsockopt(hci.Get(), kernel::SolHci, kernel::HciFilterOption, &filter, sizeof filter) < 0)
        return false;
    const std::uint8_t command[] = {HciCommandPacket, ReadLocalVersionOpcode & 0xFF,
                                    ReadLocalVersionOpcode >> 8, 0};
    if (write(hci.Get(), command, sizeof command) != static_cast<ssize_t>(sizeof command))
        return false;

    // Event: type, code, length, credits, opcode (2), status, HCI version, HCI revision (2), LMP
    // version, manufacturer (2), LMP subversion (2); numbers least significant byte first.
    for (;;) {
        pollfd entry{hci.Get(), POLLIN, 0};
        std::uint8_t event[260];
        if (poll(&entry, 1, HciReplyTimeoutMs) <= 0)
            return false;
        const ssize_t size = read(hci.Get(), event, sizeof event);
        if (size < 15 || event[0] != HciEventPacket || event[1] != HciCommandComplete ||
            (event[4] | event[5] << 8) != ReadLocalVersionOpcode)
            continue;
        if (event[6] != 0)
            return false;
        manufacturer = static_cast<std::uint16_t>(event[11] | event[12] << 8);
        subversion = static_cast<std::uint16_t>(event[13] | event[14] << 8);
        return true;
    }
}

std::optional<TControllerDetails> ReadControllerDetails(const std::string& path) {
    const auto device = DeviceNumber(path);
    TControllerDetails details;
    if (!device || !ReadPageScan(*device, details.PageScan) ||
        !ReadLocalVersion(*device, details.Manufacturer, details.LmpSubversion))
        return std::nullopt;
    return details;
}

std::u16string WideText(std::string_view utf8) {
    std::u16string wide;
    for (const char byte : Utf8ToCodePage(utf8))
        wide.push_back(CodePageToUnicode(static_cast<unsigned char>(byte)));
    return wide;
}

} // namespace

bool ReadRadios(std::vector<TRadioSnapshot>& radios) {
    TSystemBus bus;
    TBusMessage reply;
    if (!bus.Open() || !bus.Call(BlueZService, "/", "org.freedesktop.DBus.ObjectManager", "GetManagedObjects",
                                 nullptr, reply))
        return false;
    TBlueZObjects objects;
    if (ReadManagedObjects(reply.Get(), objects) < 0) {
        SetLastError(leInvalidData);
        return false;
    }

    radios.clear();
    for (const auto& [path, adapter] : objects.Adapters) {
        TRadioSnapshot radio;
        const auto address = ParseBluetoothAddress(adapter.Address.value_or(""));
        for (std::size_t i = 0; address && i < radio.Information.Address.size(); ++i)
            radio.Information.Address[i] = static_cast<std::uint8_t>(*address >> (8 * i));
        radio.Information.Name = WideText(adapter.Alias.value_or(adapter.Name.value_or("")));
        radio.Information.ClassOfDevice = adapter.Class.value_or(0);
        radio.Discoverable = adapter.Discoverable.value_or(false);
        if (const auto details = ReadControllerDetails(path)) {
            radio.Information.Manufacturer = details->Manufacturer;
            radio.Information.LmpSubversion = details->LmpSubversion;
            radio.Connectable = details->PageScan;
        } else {
            radio.Information.Manufacturer = UnknownManufacturer;
            radio.Connectable = adapter.Powered.value_or(false);
        }
        radios.push_back(std::move(radio));
    }
    return true;
}

} // namespace orvelle
