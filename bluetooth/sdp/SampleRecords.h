// Typical service records of common devices, built with the encoder: the fuzz target's seeds, the
// benchmark's input and material for demo scenarios.
#pragma once

#include <string>
#include <vector>

namespace orvelle {

struct TSampleRecord {
    std::string Name;
    std::string Bytes;
};

// An object push service, a headset, a phone's hands-free gateway, a printer, a keyboard and a
// network access point, in that order.
std::vector<TSampleRecord> SampleRecords();

} // namespace orvelle
