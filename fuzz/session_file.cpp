// libFuzzer target over the session file reader. Any input must be accepted or rejected without a
// crash, an overrun or unbounded memory; an accepted one must survive the writer: the text written
// from it reads back, and from then on writing and reading change nothing.
#include "inventory/SessionFile.h"
#include "inventory/Utils.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// The clock at construction fills absent FirstSeen values; a fixed clock keeps texts comparable.
const bool ClockFixed = [] {
    orvelle::SetClock([] { return std::int32_t{1133946400}; });
    return true;
}();

std::string Rewritten(std::string_view text) {
    const auto state = orvelle::ComponentFromText(text);
    if (!state)
        std::abort();
    const orvelle::TDeviceListLock guard(state->DeviceList());
    return orvelle::ComponentToText(*state);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto state =
        orvelle::ComponentFromText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!state || !ClockFixed)
        return 0;
    std::string first;
    {
        const orvelle::TDeviceListLock guard(state->DeviceList());
        first = orvelle::ComponentToText(*state);
    }
    // The first rewrite may bring back construction values (an empty name, a zero FirstSeen).
    const std::string second = Rewritten(first);
    if (Rewritten(second) != second)
        std::abort();
    return 0;
}
