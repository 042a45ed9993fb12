// A scripted platform for the radio information window: a list of local radios, an optional radio
// whose information cannot be read, and a record of the handles handed out and closed.
#pragma once

#include "bluetooth/Platform.h"
#include "bluetooth/sdp/LastError.h"

#include <optional>
#include <set>
#include <vector>

namespace orvelle::test {

struct TFakeRadio {
    TRadioInformation Information;
    bool Discoverable = false;
    bool Connectable = false;
};

class TFakePlatform : public TBluetoothPlatform {
public:
    std::vector<TFakeRadio> Radios;
    // The position of the radio whose GetRadioInfo fails with FailureCode.
    std::optional<std::size_t> FailingRadio;
    std::uint32_t FailureCode = leAccessDenied;

    std::set<TRadioHandle> OpenRadios;
    int OpenSearches = 0;

    bool InquiryBegin(TLookupHandle&) override { return Unsupported(); }
    bool InquiryNext(TLookupHandle, std::size_t, TInquiryResult&) override { return Unsupported(); }
    void InquiryEnd(TLookupHandle) override {}
    bool ServiceBegin(const std::string&, TLookupHandle&) override { return Unsupported(); }
    bool ServiceNext(TLookupHandle, std::size_t, TServiceResult&) override { return Unsupported(); }
    void ServiceEnd(TLookupHandle) override {}
    bool OpenAddressConverter(TLookupHandle&) override { return Unsupported(); }
    bool ReadProtocolInformation(TLookupHandle) override { return Unsupported(); }
    bool AddressToString(TLookupHandle, const TSocketAddress&, int, std::string&) override {
        return Unsupported();
    }
    void CloseAddressConverter(TLookupHandle) override {}

    // Radio handles are the radio's position plus 100, so that a wrong handle is noticed.
    bool FindFirstRadio(TRadioFindHandle& find, TRadioHandle& radio) override {
        if (Radios.empty()) {
            SetLastError(leNoMoreItems);
            return false;
        }
        find = 7;
        FNext = 0;
        ++OpenSearches;
        return HandOut(radio);
    }
    bool FindNextRadio(TRadioFindHandle find, TRadioHandle& radio) override {
        if (find != 7 || FNext >= Radios.size()) {
            SetLastError(leNoMoreItems);
            return false;
        }
        return HandOut(radio);
    }
    void FindRadioClose(TRadioFindHandle find) override {
        if (find == 7)
            --OpenSearches;
    }
    bool GetRadioInfo(TRadioHandle radio, TRadioInformation& information) override {
        if (FailingRadio && radio == *FailingRadio + 100) {
            SetLastError(FailureCode);
            return false;
        }
        information = At(radio).Information;
        return true;
    }
    bool IsDiscoverable(TRadioHandle radio) override { return At(radio).Discoverable; }
    bool IsConnectable(TRadioHandle radio) override { return At(radio).Connectable; }
    void CloseRadio(TRadioHandle radio) override {
        OpenRadios.erase(radio);
        // Closing sets the last error, as a system call may: the caller must have read it before.
        SetLastError(leSuccess);
    }

private:
    bool Unsupported() {
        SetLastError(leNotFound);
        return false;
    }
    bool HandOut(TRadioHandle& radio) {
        radio = FNext++ + 100;
        OpenRadios.insert(radio);
        return true;
    }
    const TFakeRadio& At(TRadioHandle radio) const { return Radios.at(radio - 100); }

    std::size_t FNext = 0;
};

} // namespace orvelle::test
