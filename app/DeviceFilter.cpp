// The device test and its helpers.
#include "app/DeviceFilter.h"

#include "bluetooth/sdp/CodePage.h"
#include "inventory/Descriptions.h"
#include "inventory/Utils.h"

#include <QChar>

#include <array>
#include <limits>

namespace orvelle {

namespace {

// Local midnight of the day that LOCAL describes, DAYSBACK days earlier, or of its month's first day.
std::int64_t LocalStart(std::tm local, int daysBack, bool monthStart) {
    local.tm_sec = 0;
    local.tm_min = 0;
    local.tm_hour = 0;
    local.tm_mday = monthStart ? 1 : local.tm_mday - daysBack;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

// One folded byte per byte of the code page: the lower-case letter where the code page has it.
const std::array<char, 256>& FoldTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> folded{};
        for (int byte = 0; byte < 256; ++byte) {
            const char16_t lower =
                QChar(CodePageToUnicode(static_cast<unsigned char>(byte))).toLower().unicode();
            const int mapped = UnicodeToCodePage(lower);
            folded[static_cast<std::size_t>(byte)] = static_cast<char>(mapped >= 0 ? mapped : byte);
        }
        return folded;
    }();
    return table;
}

} // namespace

TAgeBuckets::TAgeBuckets(std::int32_t now) : FNow(now) {
    const std::time_t nowTime = now;
    std::tm local{};
    localtime_r(&nowTime, &local);
    FTodayStart = LocalStart(local, 0, false);
    FYesterdayStart =
        local.tm_yday == 0 ? std::numeric_limits<std::int64_t>::max() : LocalStart(local, 1, false);
    FMonthStart = LocalStart(local, 0, true);
}

const char* TAgeBuckets::Text(std::int32_t time) const {
    // Times at least an hour old lie before the current moment, so "same day as now" means "at or
    // after today's midnight", and so on for the day before and the month.
    const std::int64_t age = FNow - time;
    if (age < 300)
        return "Now";
    if (age < 3600)
        return "Last Hour";
    if (time >= FTodayStart)
        return "Today";
    if (time >= FYesterdayStart)
        return "Yesterday";
    if (time >= FMonthStart)
        return "This Month";
    return "Old";
}

std::string AgeBucketText(std::int32_t time) {
    return TAgeBuckets(Now()).Text(time);
}

bool EqualFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    const std::array<char, 256>& table = FoldTable();
    for (std::size_t i = 0; i < a.size(); ++i)
        if (table[static_cast<unsigned char>(a[i])] != table[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

std::size_t HashFolded(std::string_view text) {
    // FNV-1a over the folded bytes.
    const std::array<char, 256>& table = FoldTable();
    std::size_t hash = 14695981039346656037ULL;
    for (char byte : text) {
        hash ^= static_cast<unsigned char>(table[static_cast<unsigned char>(byte)]);
        hash *= 1099511628211ULL;
    }
    return hash;
}

TDeviceFilter::TDeviceFilter(std::int32_t kind, std::string value, bool hideInactive)
    : FKind(kind), FValue(std::move(value)), FHideInactive(hideInactive), FBuckets(Now()) {}

bool TDeviceFilter::Admits(TBTDevice& device) const {
    if (!HidingAdmits(device))
        return false;
    switch (FKind) {
    case fkLocation:
        return device.Location == FValue;
    case fkType:
        return ClassOfDeviceText(static_cast<std::uint32_t>(device.MajorClass()),
                                 static_cast<std::uint32_t>(device.MinorClass())) == FValue;
    case fkLastSeen:
        return FBuckets.Text(device.LastSeen) == FValue;
    case fkService:
        for (const std::string& service : device.AdvertisedServices())
            if (EqualFolded(service, FValue))
                return true;
        return false;
    default:
        return true;
    }
}

} // namespace orvelle
