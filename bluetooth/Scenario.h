// The simulated radio's scenario: which radios exist, which devices are in range when, what they
// advertise and which operations fail; read from and written to its JSON form.
#pragma once

#include "inventory/Errors.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

// Seconds since the radio was opened: a span holds T when From <= T < To.
struct TTimeSpan {
    std::int64_t From = 0;
    std::int64_t To = 0;
    bool Holds(std::int64_t t) const { return From <= t && t < To; }
};

struct TScenarioRadio {
    std::string Name; // UTF-8
    std::uint64_t Address = 0;
    std::uint32_t ClassOfDevice = 0;
    std::uint16_t Manufacturer = 0;
    std::uint16_t LmpSubversion = 0;
    bool Discoverable = false;
    bool Connectable = false;
};

struct TScenarioDevice {
    std::uint64_t Address = 0;
    std::string Name; // UTF-8; empty when the device reports no name
    std::uint32_t ClassOfDevice = 0;
    std::vector<TTimeSpan> InRange;
    // The raw records; none when the device advertises nothing (its lookup finds nothing).
    std::optional<std::vector<std::string>> Records;
};

enum TFaultOperation { foInquiryBegin, foInquiryNext, foSdpBegin, foSdpNext, foRadioInfo };

struct TScenarioFault {
    TFaultOperation Operation = foInquiryBegin;
    TTimeSpan When;
    std::uint32_t Error = 0;
    std::optional<std::uint64_t> Address; // SDP faults only: limits the fault to that device
};

struct TScenario {
    std::int64_t InquiryMillis = 0;
    std::vector<TScenarioRadio> Radios;
    std::vector<TScenarioDevice> Devices;
    std::vector<TScenarioFault> Faults;
};

// A scenario that cannot be read or is malformed. The message names the file or the key.
class EScenarioError : public EOrvelleError {
public:
    using EOrvelleError::EOrvelleError;
};

// Reads a scenario from its JSON TEXT. Unknown keys, missing required keys and malformed values are
// errors whose message names the key by its path, for example "devices[2].classOfDevice".
TScenario ParseScenario(std::string_view text);

// Reads the scenario file PATH.
TScenario LoadScenarioFile(const std::string& path);

// The JSON text of SCENARIO, which ParseScenario reads back unchanged.
std::string ScenarioToJson(const TScenario& scenario);

} // namespace orvelle
