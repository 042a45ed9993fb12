// The Linux kernel's Bluetooth socket interface, as far as this backend uses it. These layouts are
// the kernel's stable ABI; declaring them here spares a build dependency on the stack's own headers.
#pragma once

#include <sys/ioctl.h>
#include <sys/socket.h>

#include <array>
#include <cstdint>

namespace orvelle::kernel {

inline constexpr int BluetoothProtocolL2cap = 0;
inline constexpr int BluetoothProtocolHci = 1;
inline constexpr int SolHci = 0;
inline constexpr int HciFilterOption = 2;
inline constexpr unsigned short SdpPsm = 1;

// Device addresses travel least significant byte first.
using TBdAddr = std::array<std::uint8_t, 6>;

struct TSockAddrL2 {
    sa_family_t Family;
    std::uint16_t Psm;
    TBdAddr Address;
    std::uint16_t Cid;
    std::uint8_t AddressType;
};

struct TSockAddrHci {
    sa_family_t Family;
    std::uint16_t Device;
    std::uint16_t Channel;
};

struct THciFilter {
    std::uint32_t TypeMask;
    std::array<std::uint32_t, 2> EventMask;
    std::uint16_t Opcode;
};

struct THciDevStats {
    std::uint32_t Counters[10];
};

struct THciDevInfo {
    std::uint16_t DeviceId;
    char Name[8];
    TBdAddr Address;
    std::uint32_t Flags;
    std::uint8_t Type;
    std::uint8_t Features[8];
    std::uint32_t PacketType;
    std::uint32_t LinkPolicy;
    std::uint32_t LinkMode;
    std::uint16_t AclMtu;
    std::uint16_t AclPackets;
    std::uint16_t ScoMtu;
    std::uint16_t ScoPackets;
    THciDevStats Stats;
};

// The device flag bit that says the adapter answers pages, that is, accepts connections.
inline constexpr std::uint32_t HciPageScanFlag = 1u << 3;

inline constexpr unsigned long HciGetDeviceInfo = _IOR('H', 211, int);

} // namespace orvelle::kernel
