// Widening of short UUIDs, the registry text of a UUID and the table of known service class and
// protocol names.
#include "bluetooth/sdp/Uuid.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace orvelle {

namespace {

// Keyed by the UUID's first field, sorted by key for the binary search.
constexpr std::pair<std::uint32_t, const char*> UUIDNames[] = {
    // Protocols.
    {0x0001, "SDP"},
    {0x0002, "UDP"},
    {0x0003, "RFCOMM"},
    {0x0004, "TCP"},
    {0x0005, "TCS-BIN"},
    {0x0006, "TCS-AT"},
    {0x0008, "OBEX"},
    {0x0009, "IP"},
    {0x000A, "FTP"},
    {0x000C, "HTTP"},
    {0x000E, "WSP"},
    {0x000F, "BNEP"},
    {0x0010, "UPNP"},
    {0x0011, "HIDP"},
    {0x0012, "HardcopyControlChannel"},
    {0x0014, "HardcopyDataChannel"},
    {0x0016, "HardcopyNotification"},
    {0x0017, "AVCTP"},
    {0x0019, "AVDTP"},
    {0x001B, "CMTP"},
    {0x001D, "UDI_C-Plane"},
    {0x0100, "L2CAP"},
    // Service classes.
    {0x1000, "ServiceDiscoveryServerServiceClassID"},
    {0x1001, "BrowseGroupDescriptorServiceClassID"},
    {0x1002, "PublicBrowseGroup"},
    {0x1101, "SerialPort"},
    {0x1102, "LANAccessUsingPPP"},
    {0x1103, "DialupNetworking"},
    {0x1104, "IrMCSync"},
    {0x1105, "OBEXObjectPush"},
    {0x1106, "OBEXFileTransfer"},
    {0x1107, "IrMCSyncCommand"},
    {0x1108, "Headset"},
    {0x1109, "CordlessTelephony"},
    {0x110A, "AudioSource"},
    {0x110B, "AudioSink"},
    {0x110C, "A/V_RemoteControlTarget"},
    {0x110D, "AdvancedAudioDistribution"},
    {0x110E, "A/V_RemoteControl"},
    {0x110F, "VideoConferencing"},
    {0x1110, "Intercom"},
    {0x1111, "Fax"},
    {0x1112, "HeadsetAudioGateway"},
    {0x1113, "WAP"},
    {0x1114, "WAPClient"},
    {0x1115, "PAN"},
    {0x1116, "NAP"},
    {0x1117, "GN"},
    {0x1118, "DirectPrinting"},
    {0x1119, "ReferencePrinting"},
    {0x111A, "Imaging"},
    {0x111B, "ImagingResponder"},
    {0x111C, "ImagingAutomaticArchive"},
    {0x111D, "ImagingReferencedObjects"},
    {0x111E, "Handsfree"},
    {0x111F, "HandsfreeAudioGateway"},
    {0x1120, "DirectPrintingReferenceObjectsService"},
    {0x1121, "ReflectedUI"},
    {0x1122, "BasicPrinting"},
    {0x1123, "PrintingStatus"},
    {0x1124, "HumanInterfaceDeviceService"},
    {0x1125, "HardcopyCableReplacement"},
    {0x1126, "HCRPrint"},
    {0x1127, "HCRScan"},
    {0x1128, "CommonISDNAccess"},
    {0x1129, "VideoConferencingGW"},
    {0x112A, "UDI_MT"},
    {0x112B, "UDI_TA"},
    {0x112C, "Audio/Video"},
    {0x112D, "SIMAccess"},
    {0x112E, "Phonebook Access - PCE"},
    {0x112F, "Phonebook Access - PSE"},
    {0x1200, "PnPInformation"},
    {0x1201, "GenericNetworking"},
    {0x1202, "GenericFileTransfer"},
    {0x1203, "GenericAudio"},
    {0x1204, "GenericTelephony"},
    {0x1205, "UPNPService"},
    {0x1206, "UPNPIPService"},
    {0x1300, "ESDP_UPNP_IP_PAN"},
    {0x1301, "ESDP_UPNP_IP_LAP"},
    {0x1302, "ESDP_UPNP_L2CAP"},
    {0x1303, "VideoSource"},
    {0x1304, "VideoSink"},
    {0x1305, "VideoDistribution"},
};

static_assert(std::size(UUIDNames) == 85);
static_assert(std::is_sorted(std::begin(UUIDNames), std::end(UUIDNames),
                             [](const auto& a, const auto& b) { return a.first < b.first; }));

} // namespace

TGuid ShortUUIDToGUID(std::uint32_t value) {
    TGuid uuid = BluetoothBaseUUID;
    uuid.Data1 = value;
    return uuid;
}

std::string UUIDToName(TGuid uuid) {
    const auto* entry =
        std::lower_bound(std::begin(UUIDNames), std::end(UUIDNames), uuid.Data1,
                         [](const auto& pair, std::uint32_t key) { return pair.first < key; });
    if (entry != std::end(UUIDNames) && entry->first == uuid.Data1)
        return entry->second;
    return GuidToText(uuid);
}

std::string GuidToText(const TGuid& uuid) {
    const auto& b = uuid.Data4;
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(uuid.Data1), static_cast<unsigned>(uuid.Data2),
                  static_cast<unsigned>(uuid.Data3), b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
    return text;
}

} // namespace orvelle
