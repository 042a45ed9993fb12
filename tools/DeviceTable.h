// The device table of "orvelle-inventory list": one row per device, as aligned text columns, CSV or
// JSON, every text in UTF-8.
#pragma once

#include "inventory/DeviceList.h"

#include <ostream>
#include <string>
#include <vector>

namespace orvelle {

enum TTableFormat { tfText, tfCsv, tfJson };

struct TDeviceRow {
    std::string Name, Address, Type, Class, FirstSeen, LastSeen;
    std::int32_t SeenCount = 0;
    std::string Location, Flags;
    std::vector<std::string> Services;
};

// The rows of every device in list order. Takes the list's lock; may move a device's single stored
// stream into its records, as listing its services does in the program.
std::vector<TDeviceRow> DeviceRows(TDeviceList& list);

void WriteDeviceTable(std::ostream& out, const std::vector<TDeviceRow>& rows, TTableFormat format);

} // namespace orvelle
