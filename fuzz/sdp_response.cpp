// Fuzzes the SDP client's response handling: the input is a series of datagrams, each preceded by its
// length in two bytes (big-endian), which a fake transport hands to the client one per request.
#include "bluetooth/bluez/SdpClient.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

class TScriptedTransport final : public orvelle::TPacketTransport {
public:
    explicit TScriptedTransport(std::string_view input) : FInput(input) {}

    bool Send(std::string_view) override { return true; }

    bool Receive(std::string& packet) override {
        if (FInput.size() < 2)
            return false;
        const std::size_t size =
            (static_cast<unsigned char>(FInput[0]) << 8) | static_cast<unsigned char>(FInput[1]);
        FInput.remove_prefix(2);
        packet.assign(FInput.substr(0, size));
        FInput.remove_prefix(packet.size());
        return true;
    }

private:
    std::string_view FInput;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TScriptedTransport transport(std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<std::string> records;
    // Every record handed out is a whole data element sequence, never a stray piece of one.
    if (orvelle::FetchServiceRecords(transport, records)) {
        for (const auto& record : records)
            if (record.size() < 2 || (static_cast<unsigned char>(record[0]) >> 3) != 6)
                __builtin_trap();
    }
    return 0;
}
