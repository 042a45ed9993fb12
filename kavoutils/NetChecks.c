/* Hex text to bytes, the machine's first usable IPv4 address with its adapter's hardware address, and
 * the check that a server accepts TCP connections on a port. The network routines trace under the
 * library's module. */
#include "LibraryTrace.h"

#include <arpa/inet.h>
#include <errno.h>
#include <ifaddrs.h>
#include <limits.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netpacket/packet.h>
#include <stdbool.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

enum {
    StatusNoMemory = 102,
    StatusCannotOpen = 120,
    StatusConnectFailed = 200,
    HardwareAddressLength = 6,
};

static const uint32_t LoopbackAddress = 0x7F000001u;

/* Any character that is not a hexadecimal digit counts as 0. */
static int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

/* Writes exactly COUNT bytes: a short text is padded with zero bytes, and a lone last digit gives 0. */
void Hex2Bin(const char* text, unsigned char* out, int count) {
    for (int i = 0; i < count; ++i) {
        if (text == NULL || *text == '\0') {
            out[i] = 0;
            continue;
        }
        int high = HexDigit(*text++);
        if (*text == '\0') {
            out[i] = 0;
            continue;
        }
        out[i] = (unsigned char)(high * 16 + HexDigit(*text++));
    }
}

/* An address entry of interface NAME, or of one of its labelled aliases ("eth0:1"). */
static bool BelongsTo(const char* entryName, const char* name) {
    size_t length = strlen(name);
    return strncmp(entryName, name, length) == 0 && (entryName[length] == '\0' || entryName[length] == ':');
}

/* The first IPv4 address of interface NAME, in list order, that is neither 0 nor 127.0.0.1. */
static bool FirstUsableAddress(const struct ifaddrs* list, const char* name, uint32_t* address) {
    for (const struct ifaddrs* entry = list; entry != NULL; entry = entry->ifa_next) {
        if (entry->ifa_addr == NULL || entry->ifa_addr->sa_family != AF_INET ||
            !BelongsTo(entry->ifa_name, name))
            continue;
        struct sockaddr_in internet;
        memcpy(&internet, entry->ifa_addr, sizeof internet);
        uint32_t value = ntohl(internet.sin_addr.s_addr);
        if (value != 0 && value != LoopbackAddress) {
            *address = value;
            return true;
        }
    }
    return false;
}

/* Interfaces are taken in index order; the first one with a 6-byte hardware address and a usable
 * IPv4 address gives both outputs. When none qualifies the outputs stay as they were. */
int KavoLocalAddress(uint32_t* address, unsigned char hardware[6]) {
    struct ifaddrs* list;
    if (getifaddrs(&list) != 0)
        return errno == ENOMEM ? StatusNoMemory : StatusCannotOpen;
    int bestIndex = INT_MAX;
    uint32_t bestAddress = 0;
    unsigned char bestHardware[HardwareAddressLength];
    for (const struct ifaddrs* entry = list; entry != NULL; entry = entry->ifa_next) {
        if (entry->ifa_addr == NULL || entry->ifa_addr->sa_family != AF_PACKET)
            continue;
        struct sockaddr_ll link;
        memcpy(&link, entry->ifa_addr, sizeof link);
        uint32_t candidate;
        if (link.sll_halen != HardwareAddressLength || link.sll_ifindex >= bestIndex ||
            !FirstUsableAddress(list, entry->ifa_name, &candidate))
            continue;
        bestIndex = link.sll_ifindex;
        bestAddress = candidate;
        memcpy(bestHardware, link.sll_addr, HardwareAddressLength);
    }
    freeifaddrs(list);
    if (bestIndex != INT_MAX) {
        *address = bestAddress;
        memcpy(hardware, bestHardware, HardwareAddressLength);
    }
    return 0;
}

static bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

/* The first IPv4 address of NAME, in host byte order. */
static bool Resolve(const char* name, uint32_t* address) {
    struct addrinfo hints;
    memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    struct addrinfo* results;
    if (getaddrinfo(name, NULL, &hints, &results) != 0)
        return false;
    struct sockaddr_in internet;
    memcpy(&internet, results->ai_addr, sizeof internet);
    freeaddrinfo(results);
    *address = ntohl(internet.sin_addr.s_addr);
    return true;
}

/* Connects to ADDRESS (host byte order) and PORT with the system's own time-out, then closes the
 * connection without sending anything. */
static int TestPort(uint32_t address, uint16_t port) {
    if (KavoTraceOn(1))
        TracePrintf("[%s]%s Enter\n", TraceModuleNames[KavoLibraryModule], "TestPort");
    KAVO_TRACE(1, "TestPort", "Testing port %d on %X", port, address);
    int connection = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connection < 0) {
        KAVO_TRACE(1, "TestPort", "Unable to create TestPort socket");
        return StatusCannotOpen;
    }
    struct sockaddr_in peer;
    memset(&peer, 0, sizeof peer);
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = htonl(address);
    struct sockaddr server;
    memcpy(&server, &peer, sizeof server);
    if (connect(connection, &server, sizeof peer) != 0) {
        close(connection);
        KAVO_TRACE(1, "TestPort", "Unable to connect to port %d on %X", port, address);
        return StatusConnectFailed;
    }
    close(connection);
    KAVO_TRACE(1, "TestPort", "TestPort successful");
    return 0;
}

/* A server text that starts with a letter is a host name; a line feed at its end is removed in the
 * caller's text before it is resolved. Anything else is taken as a dotted address. */
int KavoCheckDatabaseConnectivity(char* server, int port) {
    KAVO_TRACE(1, "KavoCheckDatabaseConnectivity", "KavoCheckDatabaseConnectivity testing server %s",
               server != NULL ? server : "");
    if (server == NULL)
        return StatusCannotOpen;
    uint32_t address;
    if (IsAsciiLetter(server[0])) {
        size_t length = strlen(server);
        if (server[length - 1] == '\n')
            server[length - 1] = '\0';
        if (!Resolve(server, &address)) {
            KAVO_TRACE(1, "KavoCheckDatabaseConnectivity", "Unable to resolve server name to address for %s",
                       server);
            return StatusCannotOpen;
        }
    } else {
        address = ntohl(inet_addr(server));
    }
    int status = TestPort(address, (uint16_t)port);
    if (status != 0)
        return status;
    KAVO_TRACE(1, "KavoCheckDatabaseConnectivity", "KavoCheckDatabaseConnectivity successful");
    return 0;
}
