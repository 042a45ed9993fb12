// The class-of-device texts, the manufacturer names and the flags text.
#include "inventory/Descriptions.h"

#include <array>
#include <utility>

namespace orvelle {

namespace {

// Text of a minor class by index, or FALLBACK when the table has no text there.
std::string Indexed(std::uint32_t minor, std::initializer_list<const char*> texts, const char* fallback) {
    return minor < texts.size() && texts.begin()[minor] != nullptr ? texts.begin()[minor] : fallback;
}

// Text of a minor class from pairs, compared whole (combined bits give FALLBACK).
std::string Matched(std::uint32_t minor, std::initializer_list<std::pair<std::uint32_t, const char*>> texts,
                    const char* fallback) {
    for (const auto& [value, text] : texts) {
        if (value == minor)
            return text;
    }
    return fallback;
}

constexpr std::array<const char*, 63> Manufacturers{"Ericsson Technology Licensing",
                                                    "Nokia Mobile Phones",
                                                    "Intel Corp.",
                                                    "IBM Corp.",
                                                    "Toshiba Corp.",
                                                    "3Com",
                                                    "Microsoft",
                                                    "Lucent",
                                                    "Motorola",
                                                    "Infineon Technologies AG",
                                                    "Cambridge Silicon Radio",
                                                    "Silicon Wave",
                                                    "Digianswer A/S",
                                                    "Texas Instruments Inc.",
                                                    "Parthus Technologies Inc.",
                                                    "Broadcom Corporation",
                                                    "Mitel Semiconductor",
                                                    "Widcomm, Inc.",
                                                    "Zeevo, Inc.",
                                                    "Atmel Corporation",
                                                    "Mitsubishi Electric Corporation",
                                                    "RTX Telecom A/S",
                                                    "KC Technology Inc.",
                                                    "Newlogic",
                                                    "Transilica, Inc.",
                                                    "Rohde & Schwarz GmbH & Co. KG",
                                                    "TTPCom Limited",
                                                    "Signia Technologies, Inc.",
                                                    "Conexant Systems Inc.",
                                                    "Qualcomm",
                                                    "Inventel",
                                                    "AVM Berlin",
                                                    "BandSpeed, Inc.",
                                                    "Mansella Ltd",
                                                    "NEC Corporation",
                                                    "WavePlus Technology Co., Ltd.",
                                                    "Alcatel",
                                                    "Philips Semiconductors",
                                                    "C Technologies",
                                                    "Open Interface",
                                                    "R F Micro Devices",
                                                    "Hitachi Ltd",
                                                    "Symbol Technologies, Inc.",
                                                    "Tenovis",
                                                    "Macronix International Co. Ltd.",
                                                    "GCT Semiconductor",
                                                    "Norwood Systems",
                                                    "MewTel Technology Inc.",
                                                    "ST Microelectronics",
                                                    "Synopsys",
                                                    "Red-M (Communications) Ltd",
                                                    "Commil Ltd",
                                                    "Computer Access Technology Corporation (CATC)",
                                                    "Eclipse (HQ Espana) S.L.",
                                                    "Renesas Technology Corp.",
                                                    "Mobilian Corporation",
                                                    "Terax",
                                                    "Integrated System Solution Corp.",
                                                    "Matsushita Electric Industrial Co., Ltd.",
                                                    "Gennum Corporation",
                                                    "Research In Motion",
                                                    "IPextreme, Inc.",
                                                    "Systems and Chips, Inc"};

} // namespace

std::string ClassOfDeviceText(std::uint32_t major, std::uint32_t minor) {
    switch (major) {
    case 0:
        return "Miscellaneous";
    case 1:
        return Indexed(minor,
                       {"Unclassified Computer", "Desktop Computer", "Server Computer", "Laptop Computer",
                        "Handheld Computer", "Palm Computer", "Wearable Computer"},
                       "Unknown Computer");
    case 2:
        return Indexed(
            minor, {"Unclassified Phone", "Cellular Phone", "Cordless Phone", "Smart Phone", "Wired Modem"},
            "Unknown Phone");
    case 3:
        return "LAN Access Point";
    case 4:
        return Indexed(minor,
                       {"Unclassified Audio", "Headset", "Hands Free", "Headset Hands Free", "Microphone",
                        "Loudspeaker", "Headphones", "Portable Audio", "Car Audio", "Set Top Box", "Hi-Fi",
                        "VCR", "Video Camera", "Camcorder", "Video Monitor", "Video Display Loudspeaker",
                        "Video Display Conferencing", nullptr, "Gaming Toy"},
                       "Unknown Audio");
    case 5:
        return Matched(minor,
                       {{0, "Peripheral"},
                        {1, "Joystick"},
                        {2, "Gamepad"},
                        {3, "Remote Control"},
                        {4, "Sensing Peripheral"},
                        {16, "Keyboard"},
                        {32, "Pointer"}},
                       "Unknown Peripheral");
    case 6:
        return Matched(minor, {{4, "Display"}, {8, "Camera"}, {16, "Scanner"}, {32, "Printer"}},
                       "Unknown Imager");
    case 31:
        return "Unclassified";
    default:
        return "Unknown";
    }
}

std::string ManufacturerName(std::int32_t manufacturer) {
    if (manufacturer >= 0 && static_cast<std::size_t>(manufacturer) < Manufacturers.size())
        return Manufacturers[static_cast<std::size_t>(manufacturer)];
    return manufacturer == 65535 ? "** Temporary Manufacturer Code" : "Unknown";
}

std::string FlagsText(const TBTDevice& device) {
    std::string text;
    const auto add = [&text](bool present, const char* word) {
        if (!present)
            return;
        if (!text.empty())
            text += ", ";
        text += word;
    };
    add((device.Flags & 0x08) != 0, "Paired");
    add((device.Flags & 0x10) != 0, "Personal");
    add((device.Flags & 0x20) != 0, "Connected");
    add(!device.RawSDPRecords.empty() || !device.RawSDPStream.empty(), "SDP");
    return text;
}

} // namespace orvelle
