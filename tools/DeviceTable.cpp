// Rows of the device table and their three output forms.
#include "tools/DeviceTable.h"

#include "bluetooth/sdp/CodePage.h"
#include "inventory/Descriptions.h"
#include "inventory/Utils.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>

namespace orvelle {

namespace {

constexpr std::array<const char*, 10> Headings{"Name",      "Address",    "Type",     "Class", "First seen",
                                               "Last seen", "Seen count", "Location", "Flags", "Services"};

std::string JoinedServices(const TDeviceRow& row) {
    std::string joined;
    for (const std::string& service : row.Services)
        joined += (joined.empty() ? "" : "; ") + service;
    return joined;
}

std::array<std::string, Headings.size()> Cells(const TDeviceRow& row) {
    return {row.Name,
            row.Address,
            row.Type,
            row.Class,
            row.FirstSeen,
            row.LastSeen,
            std::to_string(row.SeenCount),
            row.Location,
            row.Flags,
            JoinedServices(row)};
}

// Characters, not bytes, so that columns line up with letters outside ASCII.
std::size_t Width(const std::string& utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    }));
}

// Text columns: control characters would break the lines, so they show as blanks.
std::string Printable(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char byte) { return static_cast<unsigned char>(byte) < 0x20; }, ' ');
    return text;
}

void WriteText(std::ostream& out, const std::vector<TDeviceRow>& rows) {
    std::vector<std::array<std::string, Headings.size()>> table;
    table.push_back({});
    std::copy(Headings.begin(), Headings.end(), table.back().begin());
    for (const TDeviceRow& row : rows) {
        table.push_back(Cells(row));
        for (std::string& cell : table.back())
            cell = Printable(std::move(cell));
    }
    std::array<std::size_t, Headings.size()> widths{};
    for (const auto& line : table) {
        for (std::size_t column = 0; column < line.size(); ++column)
            widths[column] = std::max(widths[column], Width(line[column]));
    }
    for (const auto& line : table) {
        std::string text;
        for (std::size_t column = 0; column < line.size(); ++column) {
            text += line[column];
            if (column + 1 < line.size())
                text.append(widths[column] - Width(line[column]) + 2, ' ');
        }
        text.erase(text.find_last_not_of(' ') + 1);
        out << text << '\n';
    }
}

// RFC 4180: a field with a comma, quote or line break is quoted, its quotes doubled; lines end CR LF.
std::string CsvField(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

template<class Cells>
void WriteCsvLine(std::ostream& out, const Cells& cells) {
    bool first = true;
    for (const auto& cell : cells) {
        out << (first ? "" : ",") << CsvField(cell);
        first = false;
    }
    out << "\r\n";
}

void WriteJson(std::ostream& out, const std::vector<TDeviceRow>& rows) {
    nlohmann::json devices = nlohmann::json::array();
    for (const TDeviceRow& row : rows) {
        devices.push_back({{"name", row.Name},
                           {"address", row.Address},
                           {"type", row.Type},
                           {"class", row.Class},
                           {"firstSeen", row.FirstSeen},
                           {"lastSeen", row.LastSeen},
                           {"seenCount", row.SeenCount},
                           {"location", row.Location},
                           {"flags", row.Flags},
                           {"services", row.Services}});
    }
    out << devices.dump(2) << '\n';
}

} // namespace

std::vector<TDeviceRow> DeviceRows(TDeviceList& list) {
    const TDeviceListLock guard(list);
    std::vector<TDeviceRow> rows;
    rows.reserve(static_cast<std::size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) {
        TBTDevice& device = list.GetDevice(i);
        TDeviceRow row;
        row.Name = CodePageToUtf8(device.Name);
        row.Address = CodePageToUtf8(device.Address);
        row.Type = DeviceTypeName(device.Type);
        row.Class = ClassOfDeviceText(static_cast<std::uint32_t>(device.MajorClass()),
                                      static_cast<std::uint32_t>(device.MinorClass()));
        row.FirstSeen = TimeText(device.FirstSeen);
        row.LastSeen = TimeText(device.LastSeen);
        row.SeenCount = device.SeenCount;
        row.Location = CodePageToUtf8(device.Location);
        row.Flags = FlagsText(device);
        for (const std::string& service : device.AdvertisedServices())
            row.Services.push_back(CodePageToUtf8(service));
        rows.push_back(std::move(row));
    }
    return rows;
}

void WriteDeviceTable(std::ostream& out, const std::vector<TDeviceRow>& rows, TTableFormat format) {
    switch (format) {
    case tfText:
        WriteText(out, rows);
        break;
    case tfCsv:
        WriteCsvLine(out, Headings);
        for (const TDeviceRow& row : rows)
            WriteCsvLine(out, Cells(row));
        break;
    case tfJson:
        WriteJson(out, rows);
        break;
    }
}

} // namespace orvelle
