// Reading and writing the simulated radio's scenario in its JSON form.
#include "bluetooth/Scenario.h"

#include "bluetooth/Platform.h"
#include "bluetooth/sdp/HexText.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <regex>

namespace orvelle {

namespace {

using nlohmann::json;
// Written with the keys in the order a person reads them.
using ojson = nlohmann::ordered_json;

constexpr std::array<std::string_view, 5> FaultOperationNames{"inquiryBegin", "inquiryNext", "sdpBegin",
                                                              "sdpNext", "radioInfo"};

[[noreturn]] void Fail(const std::string& path, const std::string& problem) {
    throw EScenarioError("Scenario error at " + path + ": " + problem);
}

std::string Member(const std::string& path, std::string_view key) {
    return path.empty() ? std::string(key) : path + "." + std::string(key);
}

std::string Item(const std::string& path, std::size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

// VALUE must be an object whose keys are all among ALLOWED.
void CheckObject(const json& value, const std::string& path,
                 std::initializer_list<std::string_view> allowed) {
    if (!value.is_object())
        Fail(path.empty() ? "the top level" : path, "expected an object");
    for (const auto& [key, member] : value.items())
        if (std::find(allowed.begin(), allowed.end(), key) == allowed.end())
            Fail(Member(path, key), "unknown key");
}

const json& Required(const json& object, const std::string& path, const char* key) {
    const auto found = object.find(key);
    if (found == object.end())
        Fail(Member(path, key), "missing");
    return *found;
}

std::int64_t Integer(const json& value, const std::string& path, std::int64_t minimum, std::int64_t maximum) {
    const bool tooLarge =
        value.is_number_unsigned() &&
        value.get<std::uint64_t>() > std::uint64_t(std::numeric_limits<std::int64_t>::max());
    if (!value.is_number_integer() || tooLarge || value.get<std::int64_t>() < minimum ||
        value.get<std::int64_t>() > maximum)
        Fail(path, "expected an integer from " + std::to_string(minimum) + " to " + std::to_string(maximum));
    return value.get<std::int64_t>();
}

std::int64_t OptionalInteger(const json& object, const std::string& path, const char* key,
                             std::int64_t minimum, std::int64_t maximum) {
    const auto found = object.find(key);
    return found == object.end() ? 0 : Integer(*found, Member(path, key), minimum, maximum);
}

bool OptionalBoolean(const json& object, const std::string& path, const char* key) {
    const auto found = object.find(key);
    if (found == object.end())
        return false;
    if (!found->is_boolean())
        Fail(Member(path, key), "expected true or false");
    return found->get<bool>();
}

std::string Text(const json& value, const std::string& path) {
    if (!value.is_string())
        Fail(path, "expected a string");
    return value.get<std::string>();
}

std::string OptionalText(const json& object, const std::string& path, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? std::string() : Text(*found, Member(path, key));
}

const json& Array(const json& value, const std::string& path) {
    if (!value.is_array())
        Fail(path, "expected an array");
    return value;
}

std::uint64_t Address(const json& value, const std::string& path) {
    const auto address = ParseBluetoothAddress(Text(value, path));
    if (!address)
        Fail(path, "expected an address such as \"00:0A:3A:54:12:34\"");
    return *address;
}

constexpr std::int64_t MaximumTime = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t MaximumClass = 0xFFFFFF;

TTimeSpan Span(const json& value, const std::string& path) {
    if (!value.is_array() || value.size() != 2)
        Fail(path, "expected a pair [from, to]");
    TTimeSpan span{Integer(value[0], Item(path, 0), 0, MaximumTime),
                   Integer(value[1], Item(path, 1), 0, MaximumTime)};
    if (span.To < span.From)
        Fail(path, "expected from <= to");
    return span;
}

// Hexadecimal digits in pairs, blanks allowed between them.
std::string RecordBytes(const json& value, const std::string& path) {
    std::string digits;
    for (const char c : Text(value, path)) {
        if (c == ' ' || c == '\t')
            continue;
        if (HexDigitValue(c) < 0)
            Fail(path, "expected hexadecimal digits");
        digits += c;
    }
    if (digits.size() % 2 != 0)
        Fail(path, "expected an even number of hexadecimal digits");
    std::string bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2)
        bytes += char(HexDigitValue(digits[i]) << 4 | HexDigitValue(digits[i + 1]));
    return bytes;
}

TScenarioRadio ParseRadio(const json& value, const std::string& path) {
    CheckObject(
        value, path,
        {"name", "address", "classOfDevice", "manufacturer", "lmpSubversion", "discoverable", "connectable"});
    TScenarioRadio radio;
    radio.Name = Text(Required(value, path, "name"), Member(path, "name"));
    radio.Address = Address(Required(value, path, "address"), Member(path, "address"));
    radio.ClassOfDevice = std::uint32_t(OptionalInteger(value, path, "classOfDevice", 0, MaximumClass));
    radio.Manufacturer = std::uint16_t(OptionalInteger(value, path, "manufacturer", 0, 0xFFFF));
    radio.LmpSubversion = std::uint16_t(OptionalInteger(value, path, "lmpSubversion", 0, 0xFFFF));
    radio.Discoverable = OptionalBoolean(value, path, "discoverable");
    radio.Connectable = OptionalBoolean(value, path, "connectable");
    return radio;
}

TScenarioDevice ParseDevice(const json& value, const std::string& path) {
    CheckObject(value, path, {"address", "name", "classOfDevice", "inRange", "sdp"});
    TScenarioDevice device;
    device.Address = Address(Required(value, path, "address"), Member(path, "address"));
    device.Name = OptionalText(value, path, "name");
    device.ClassOfDevice = std::uint32_t(OptionalInteger(value, path, "classOfDevice", 0, MaximumClass));
    const std::string rangePath = Member(path, "inRange");
    const json& inRange = Array(Required(value, path, "inRange"), rangePath);
    for (std::size_t i = 0; i < inRange.size(); ++i)
        device.InRange.push_back(Span(inRange[i], Item(rangePath, i)));
    const auto sdp = value.find("sdp");
    if (sdp != value.end() && !sdp->is_null()) {
        const std::string sdpPath = Member(path, "sdp");
        device.Records.emplace();
        for (std::size_t i = 0; i < Array(*sdp, sdpPath).size(); ++i)
            device.Records->push_back(RecordBytes((*sdp)[i], Item(sdpPath, i)));
    }
    return device;
}

TScenarioFault ParseFault(const json& value, const std::string& path) {
    CheckObject(value, path, {"op", "from", "to", "error", "address"});
    TScenarioFault fault;
    const std::string opPath = Member(path, "op");
    const std::string op = Text(Required(value, path, "op"), opPath);
    const auto name = std::find(FaultOperationNames.begin(), FaultOperationNames.end(), op);
    if (name == FaultOperationNames.end())
        Fail(opPath, "expected one of inquiryBegin, inquiryNext, sdpBegin, sdpNext, radioInfo");
    fault.Operation = TFaultOperation(name - FaultOperationNames.begin());
    fault.When.From = Integer(Required(value, path, "from"), Member(path, "from"), 0, MaximumTime);
    fault.When.To = Integer(Required(value, path, "to"), Member(path, "to"), 0, MaximumTime);
    if (fault.When.To < fault.When.From)
        Fail(Member(path, "to"), "expected to >= from");
    fault.Error =
        std::uint32_t(Integer(Required(value, path, "error"), Member(path, "error"), 1, 0xFFFFFFFF));
    const auto address = value.find("address");
    if (address != value.end()) {
        if (fault.Operation != foSdpBegin && fault.Operation != foSdpNext)
            Fail(Member(path, "address"), "only allowed for sdpBegin and sdpNext");
        fault.Address = Address(*address, Member(path, "address"));
    }
    return fault;
}

// Each element of the optional array KEY read by PARSE.
template<class TParse>
void ParseList(const json& root, const char* key, TParse parse) {
    const auto found = root.find(key);
    if (found == root.end())
        return;
    const std::string path = key;
    for (std::size_t i = 0; i < Array(*found, path).size(); ++i)
        parse((*found)[i], Item(path, i));
}

std::string PlainAddress(std::uint64_t address) {
    const std::string text = FormatAddressText(address);
    return text.substr(1, text.size() - 2);
}

ojson SpanJson(const TTimeSpan& span) {
    return ojson::array({span.From, span.To});
}

} // namespace

TScenario ParseScenario(std::string_view text) {
    json root;
    try {
        root = json::parse(text);
    } catch (const json::parse_error& error) {
        throw EScenarioError(std::string("Scenario is not valid JSON: ") + error.what());
    }
    CheckObject(root, "", {"inquiryMillis", "radios", "devices", "faults"});
    TScenario scenario;
    scenario.InquiryMillis = OptionalInteger(root, "", "inquiryMillis", 0, 3600000);
    ParseList(root, "radios", [&](const json& value, const std::string& path) {
        scenario.Radios.push_back(ParseRadio(value, path));
    });
    ParseList(root, "devices", [&](const json& value, const std::string& path) {
        TScenarioDevice device = ParseDevice(value, path);
        for (const TScenarioDevice& earlier : scenario.Devices)
            if (earlier.Address == device.Address)
                Fail(Member(path, "address"), "the same address as an earlier device");
        scenario.Devices.push_back(std::move(device));
    });
    ParseList(root, "faults", [&](const json& value, const std::string& path) {
        scenario.Faults.push_back(ParseFault(value, path));
    });
    return scenario;
}

TScenario LoadScenarioFile(const std::string& path) {
    std::string text;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file != nullptr) {
        char buffer[65536];
        std::size_t count;
        while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, count);
        const bool failed = std::ferror(file) != 0;
        const int error = errno;
        std::fclose(file);
        errno = error;
        if (failed)
            file = nullptr;
    }
    if (file == nullptr)
        throw EScenarioError("Unable to read scenario file " + path + ": " + std::strerror(errno));
    try {
        return ParseScenario(text);
    } catch (const EScenarioError& error) {
        throw EScenarioError(path + ": " + error.what());
    }
}

std::string ScenarioToJson(const TScenario& scenario) {
    ojson root = ojson::object();
    root["inquiryMillis"] = scenario.InquiryMillis;
    root["radios"] = ojson::array();
    for (const TScenarioRadio& radio : scenario.Radios)
        root["radios"].push_back({{"name", radio.Name},
                                  {"address", PlainAddress(radio.Address)},
                                  {"classOfDevice", radio.ClassOfDevice},
                                  {"manufacturer", radio.Manufacturer},
                                  {"lmpSubversion", radio.LmpSubversion},
                                  {"discoverable", radio.Discoverable},
                                  {"connectable", radio.Connectable}});
    root["devices"] = ojson::array();
    for (const TScenarioDevice& device : scenario.Devices) {
        ojson entry{{"address", PlainAddress(device.Address)},
                    {"name", device.Name},
                    {"classOfDevice", device.ClassOfDevice},
                    {"inRange", ojson::array()},
                    {"sdp", nullptr}};
        for (const TTimeSpan& span : device.InRange)
            entry["inRange"].push_back(SpanJson(span));
        if (device.Records) {
            entry["sdp"] = ojson::array();
            for (const std::string& record : *device.Records)
                entry["sdp"].push_back(HexText(record));
        }
        root["devices"].push_back(std::move(entry));
    }
    root["faults"] = ojson::array();
    for (const TScenarioFault& fault : scenario.Faults) {
        ojson entry{{"op", FaultOperationNames[std::size_t(fault.Operation)]},
                    {"from", fault.When.From},
                    {"to", fault.When.To},
                    {"error", fault.Error}};
        if (fault.Address)
            entry["address"] = PlainAddress(*fault.Address);
        root["faults"].push_back(std::move(entry));
    }
    // Pairs of numbers (the spans) are kept on one line each, so that a long list stays readable.
    static const std::regex pair(R"(\[\s*(\d+),\s*(\d+)\s*\])");
    return std::regex_replace(root.dump(2), pair, "[$1, $2]") + "\n";
}

} // namespace orvelle
