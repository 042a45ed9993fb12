// The active filter of the main window and the test that decides whether a device is shown: the
// filter kinds, the last-seen age texts, letter-case folding of code-page texts, and the device test.
#pragma once

#include "inventory/BTDevice.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace orvelle {

enum TFilterKind : std::int32_t { fkNone, fkLocation, fkType, fkLastSeen, fkService };

// The last-seen age texts relative to one moment: "Now", "Last Hour", "Today", "Yesterday",
// "This Month" or "Old". The local-time boundaries are worked out once, so that texts for a whole
// device list cost one comparison each.
class TAgeBuckets {
public:
    explicit TAgeBuckets(std::int32_t now);
    const char* Text(std::int32_t time) const;

private:
    std::int64_t FNow;
    std::int64_t FTodayStart;
    // None (INT64_MAX) on the first day of a year: the day before belongs to another year, which
    // counts as "Old".
    std::int64_t FYesterdayStart;
    std::int64_t FMonthStart;
};

// The age text of TIME at the current clock.
std::string AgeBucketText(std::int32_t time);

// Equality and hashing of texts without regard to letter case: every code-page letter counts in one
// case, so texts that differ only in case are equal and hash alike.
bool EqualFolded(std::string_view a, std::string_view b);
std::size_t HashFolded(std::string_view text);

// The device test for one rebuild: the hiding option first, then the active filter. The caller holds
// the device list's lock while testing.
class TDeviceFilter {
public:
    TDeviceFilter(std::int32_t kind, std::string value, bool hideInactive);

    // Whether the hiding option lets DEVICE through (the active filter plays no part).
    bool HidingAdmits(const TBTDevice& device) const { return !FHideInactive || device.IsActive(); }
    bool Admits(TBTDevice& device) const;

private:
    std::int32_t FKind;
    std::string FValue;
    bool FHideInactive;
    TAgeBuckets FBuckets;
};

} // namespace orvelle
