// The simulated radio's lookups and radio operations over its scenario.
#include "bluetooth/SimulatedRadio.h"

#include "bluetooth/sdp/CodePage.h"
#include "bluetooth/sdp/LastError.h"
#include "inventory/Utils.h"

#include <algorithm>
#include <thread>

namespace orvelle {

namespace {

// A device name as the platform reports it: in the code page, and ending at a NUL as a C text does.
std::string ReportedName(const std::string& utf8) {
    std::string name = Utf8ToCodePage(utf8);
    name.resize(std::min(name.size(), name.find('\0')));
    return name;
}

std::u16string WideName(const std::string& utf8) {
    std::u16string name;
    for (const char byte : Utf8ToCodePage(utf8))
        name += CodePageToUnicode(static_cast<unsigned char>(byte));
    return name;
}

void Sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

} // namespace

TSimulatedRadio::TSimulatedRadio(TScenario scenario, TSleep sleep)
    : FScenario(std::move(scenario)), FSleep(sleep ? std::move(sleep) : TSleep(Sleep)), FOpenedAt(Now()) {}

std::int64_t TSimulatedRadio::Elapsed() const {
    return std::int64_t(Now()) - FOpenedAt;
}

bool TSimulatedRadio::Fail(std::uint32_t error) {
    SetLastError(error);
    return false;
}

bool TSimulatedRadio::Faulted(TFaultOperation operation, std::uint64_t address) const {
    return FaultedAt(operation, Elapsed(), address);
}

bool TSimulatedRadio::FaultedAt(TFaultOperation operation, std::int64_t t, std::uint64_t address) const {
    for (const TScenarioFault& fault : FScenario.Faults)
        if (fault.Operation == operation && fault.When.Holds(t) &&
            (!fault.Address || *fault.Address == address)) {
            SetLastError(fault.Error);
            return true;
        }
    return false;
}

bool TSimulatedRadio::InquiryBegin(TLookupHandle& handle) {
    // Who is in range, and whether the begin fails, is decided by the time the pass starts.
    const std::int64_t t = Elapsed();
    // The inquiry takes its time outside the lock, as a radio's would, so radio reads go on meanwhile.
    if (FScenario.InquiryMillis > 0)
        FSleep(std::chrono::milliseconds(FScenario.InquiryMillis));
    std::lock_guard lock(FMutex);
    if (FaultedAt(foInquiryBegin, t))
        return false;
    TInquiry inquiry;
    for (const TScenarioDevice& device : FScenario.Devices)
        if (std::any_of(device.InRange.begin(), device.InRange.end(),
                        [t](const TTimeSpan& span) { return span.Holds(t); }))
            inquiry.Results.push_back(TInquiryResult{ReportedName(device.Name), device.ClassOfDevice,
                                                     TSocketAddress{device.Address}, BluetoothAddressLength});
    if (inquiry.Results.empty())
        return Fail(leServiceNotFound);
    handle = ++FLastHandle;
    FInquiries.emplace(handle, std::move(inquiry));
    return true;
}

bool TSimulatedRadio::InquiryNext(TLookupHandle handle, std::size_t bufferLength, TInquiryResult& result) {
    std::lock_guard lock(FMutex);
    const auto inquiry = FInquiries.find(handle);
    if (inquiry == FInquiries.end())
        return Fail(leInvalidParameter);
    if (Faulted(foInquiryNext))
        return false;
    TInquiry& state = inquiry->second;
    if (state.Next == state.Results.size())
        return Fail(leNoMoreResults);
    // A result that does not fit stays next, as with a platform that lets the caller retry.
    if (InquiryResultSize(state.Results[state.Next]) > bufferLength)
        return Fail(leInsufficientBuffer);
    result = state.Results[state.Next++];
    return true;
}

void TSimulatedRadio::InquiryEnd(TLookupHandle handle) {
    std::lock_guard lock(FMutex);
    FInquiries.erase(handle);
}

bool TSimulatedRadio::ServiceBegin(const std::string& address, TLookupHandle& handle) {
    std::lock_guard lock(FMutex);
    const auto parsed = ParseAddressText(address);
    if (!parsed)
        return Fail(leInvalidParameter);
    if (Faulted(foSdpBegin, *parsed))
        return false;
    const auto device =
        std::find_if(FScenario.Devices.begin(), FScenario.Devices.end(),
                     [&](const TScenarioDevice& candidate) { return candidate.Address == *parsed; });
    // A device the scenario does not know never answers the connection.
    if (device == FScenario.Devices.end())
        return Fail(leTimedOut);
    if (!device->Records)
        return Fail(leServiceNotFound);
    handle = ++FLastHandle;
    FServiceSearches.emplace(handle, TServiceSearch{*parsed, *device->Records, 0});
    return true;
}

bool TSimulatedRadio::ServiceNext(TLookupHandle handle, std::size_t bufferLength, TServiceResult& result) {
    std::lock_guard lock(FMutex);
    const auto search = FServiceSearches.find(handle);
    if (search == FServiceSearches.end())
        return Fail(leInvalidParameter);
    TServiceSearch& state = search->second;
    if (Faulted(foSdpNext, state.Address))
        return false;
    if (state.Next == state.Records.size())
        return Fail(leNoMoreResults);
    TServiceResult next{state.Records[state.Next]};
    if (ServiceResultSize(next) > bufferLength)
        return Fail(leInsufficientBuffer);
    ++state.Next;
    result = std::move(next);
    return true;
}

void TSimulatedRadio::ServiceEnd(TLookupHandle handle) {
    std::lock_guard lock(FMutex);
    FServiceSearches.erase(handle);
}

TRadioHandle TSimulatedRadio::OpenRadio(std::size_t index) {
    const TRadioHandle radio = ++FLastHandle;
    FRadios.emplace(radio, index);
    return radio;
}

bool TSimulatedRadio::FindFirstRadio(TRadioFindHandle& find, TRadioHandle& radio) {
    std::lock_guard lock(FMutex);
    if (FScenario.Radios.empty())
        return Fail(leNoMoreItems);
    find = ++FLastHandle;
    FRadioSearches.emplace(find, 1);
    radio = OpenRadio(0);
    return true;
}

bool TSimulatedRadio::FindNextRadio(TRadioFindHandle find, TRadioHandle& radio) {
    std::lock_guard lock(FMutex);
    const auto search = FRadioSearches.find(find);
    if (search == FRadioSearches.end())
        return Fail(leInvalidParameter);
    if (search->second == FScenario.Radios.size())
        return Fail(leNoMoreItems);
    radio = OpenRadio(search->second++);
    return true;
}

void TSimulatedRadio::FindRadioClose(TRadioFindHandle find) {
    std::lock_guard lock(FMutex);
    FRadioSearches.erase(find);
}

const TScenarioRadio* TSimulatedRadio::Radio(TRadioHandle radio) const {
    const auto found = FRadios.find(radio);
    return found == FRadios.end() ? nullptr : &FScenario.Radios[found->second];
}

bool TSimulatedRadio::GetRadioInfo(TRadioHandle radio, TRadioInformation& information) {
    std::lock_guard lock(FMutex);
    const TScenarioRadio* scenarioRadio = Radio(radio);
    if (scenarioRadio == nullptr)
        return Fail(leInvalidParameter);
    if (Faulted(foRadioInfo))
        return false;
    information = TRadioInformation{};
    for (std::size_t i = 0; i < information.Address.size(); ++i)
        information.Address[i] = std::uint8_t(scenarioRadio->Address >> (8 * i));
    information.Name = WideName(scenarioRadio->Name);
    information.ClassOfDevice = scenarioRadio->ClassOfDevice;
    information.LmpSubversion = scenarioRadio->LmpSubversion;
    information.Manufacturer = scenarioRadio->Manufacturer;
    return true;
}

bool TSimulatedRadio::IsDiscoverable(TRadioHandle radio) {
    std::lock_guard lock(FMutex);
    const TScenarioRadio* scenarioRadio = Radio(radio);
    return scenarioRadio != nullptr && scenarioRadio->Discoverable;
}

bool TSimulatedRadio::IsConnectable(TRadioHandle radio) {
    std::lock_guard lock(FMutex);
    const TScenarioRadio* scenarioRadio = Radio(radio);
    return scenarioRadio != nullptr && scenarioRadio->Connectable;
}

void TSimulatedRadio::CloseRadio(TRadioHandle radio) {
    std::lock_guard lock(FMutex);
    FRadios.erase(radio);
}

std::size_t TSimulatedRadio::OpenHandles() {
    std::lock_guard lock(FMutex);
    return FInquiries.size() + FServiceSearches.size() + FRadioSearches.size() + FRadios.size();
}

} // namespace orvelle
