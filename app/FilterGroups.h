// The groups of the filter tree: the node record, the four categories and the builder that counts
// the devices of each group.
#pragma once

#include "app/DeviceFilter.h"
#include "inventory/DeviceList.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvelle {

struct TFilterNodeData {
    bool IsCategory = false;
    // The category name; for a group its key, or "None" when the key is empty.
    std::string Text;
    std::int32_t Kind = fkNone;
    // The group key, unchanged (possibly empty); empty for a category.
    std::string Value;
    std::int32_t GroupCount = 0;
};

struct TFilterCategory {
    const char* Text;
    TFilterKind Kind;
};

// The categories at the root of the tree, in display order.
inline constexpr std::array<TFilterCategory, 4> FilterCategories{{
    {"Last Seen", fkLastSeen},
    {"Location", fkLocation},
    {"Type", fkType},
    {"Services", fkService},
}};

// The group nodes of each category, in the order of FilterCategories; in each, the groups come in the
// order their keys are first met in the device list. Keys that differ only in letter case form one
// group under the form met first; a device that the hiding option leaves out is not counted. All four
// are counted in one pass under one hold of the device list's lock, so they describe the same state
// of the list.
std::array<std::vector<TFilterNodeData>, FilterCategories.size()> BuildGroups(TDeviceList& list,
                                                                              bool hideInactive);

} // namespace orvelle
