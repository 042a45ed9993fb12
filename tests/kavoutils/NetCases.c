/* Cases of the hex conversion and the network checks. Connections go only to listeners on 127.0.0.1;
 * the local address is read inside a private network namespace whose addresses the case sets. */
#define _GNU_SOURCE
#include "KavoCase.h"

#include <arpa/inet.h>
#include <errno.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#define TIME "[A-Z][a-z]{2} [A-Z][a-z]{2} [0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}"
#define HEADER "Started Tracing " TIME "\nVersion: 4\\.5\\.0\\.2\n"
#define TAG(routine) TIME " \\[Kavo\\]" routine ":[0-9]+ "

static void HexTexts(void) {
    static const struct {
        const char* Text;
        int Count;
        const char* Bytes;
    } Cases[] = {
        {"0aFf", 2, "\x0A\xFF"}, {"0aFf", 4, "\x0A\xFF\x00\x00"}, {"abc", 2, "\xAB\x00"}, {"g1", 1, "\x01"},
        {"1g", 1, "\x10"},       {"12345678", 2, "\x12\x34"},     {"", 2, "\x00\x00"},    {"ff", 0, ""},
        {"ff", -1, ""},
    };
    for (size_t i = 0; i < sizeof Cases / sizeof Cases[0]; ++i) {
        unsigned char out[8];
        memset(out, 0xEE, sizeof out);
        Kavo.Hex2Bin(Cases[i].Text, out, Cases[i].Count);
        size_t written = Cases[i].Count > 0 ? (size_t)Cases[i].Count : 0;
        if (memcmp(out, Cases[i].Bytes, written) != 0 || out[written] != 0xEE)
            fprintf(stderr, "hex text \"%s\", count %d\n", Cases[i].Text, Cases[i].Count);
        CHECK_BYTES(out, Cases[i].Bytes, written);
        CHECK_INT(out[written], 0xEE);
    }
}

/* A socket bound to 127.0.0.1 on a free port, listening or not; the port through PORT. */
static int LocalSocket(int listening, int* port) {
    int socketFd = socket(AF_INET, SOCK_STREAM, 0);
    struct sockaddr_in address;
    memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    struct sockaddr generic;
    memcpy(&generic, &address, sizeof generic);
    CHECK(bind(socketFd, &generic, sizeof address) == 0);
    CHECK(!listening || listen(socketFd, 4) == 0);
    CHECK(getsockname(socketFd, &generic, &length) == 0);
    memcpy(&address, &generic, sizeof address);
    *port = ntohs(address.sin_port);
    return socketFd;
}

/* PATTERN with every "PORT" replaced by the port number. */
static void WithPort(char* out, size_t size, const char* pattern, int port) {
    size_t length = 0;
    while (*pattern != '\0' && length + 8 < size) {
        if (strncmp(pattern, "PORT", 4) == 0) {
            length += (size_t)snprintf(out + length, size - length, "%d", port);
            pattern += 4;
        } else {
            out[length++] = *pattern++;
        }
    }
    out[length] = '\0';
}

#define CONNECTED "\\[Kavo\\]TestPort Enter\n" TAG("TestPort") "Testing port PORT on 7F000001\n"
#define CHECKING TAG("KavoCheckDatabaseConnectivity") "KavoCheckDatabaseConnectivity testing server "

/* Each check goes to a socket on 127.0.0.1 that listens or not. A name loses its final line feed in
 * the caller's text, a dotted address keeps it; only the port's low 16 bits count. */
static void ConnectivityChecks(void) {
    static const struct {
        int Listening;
        const char* Server;
        int PortOffset;
        int Level;
        int Status;
        const char* ServerAfter;
        const char* Trace;
    } Cases[] = {
        {1, "127.0.0.1", 0, 1, 0, "127.0.0.1",
         "^" HEADER CHECKING "127\\.0\\.0\\.1\n" CONNECTED TAG("TestPort") "TestPort successful\n" TAG(
             "KavoCheckDatabaseConnectivity") "KavoCheckDatabaseConnectivity successful\n$"},
        {0, "127.0.0.1", 0, 1, 200, "127.0.0.1",
         "^" HEADER CHECKING
         "127\\.0\\.0\\.1\n" CONNECTED TAG("TestPort") "Unable to connect to port PORT on 7F000001\n$"},
        {1, "localhost\n", 0x10000, 1, 0, "localhost", "^" HEADER CHECKING "localhost\n\n" CONNECTED},
        {1, "127.0.0.1\n", 0, 0, 0, "127.0.0.1\n", "^" HEADER "$"},
    };
    for (size_t i = 0; i < sizeof Cases / sizeof Cases[0]; ++i) {
        int port;
        int target = LocalSocket(Cases[i].Listening, &port);
        CHECK_INT(Kavo.TraceStart("net.log"), 0);
        CHECK_INT(Kavo.TraceLevel(7, Cases[i].Level), 0);
        char server[32];
        snprintf(server, sizeof server, "%s", Cases[i].Server);
        CHECK_INT(Kavo.KavoCheckDatabaseConnectivity(server, port + Cases[i].PortOffset), Cases[i].Status);
        CHECK_TEXT(server, Cases[i].ServerAfter);
        CHECK_INT(Kavo.TraceStop(), 0);
        char pattern[1000];
        WithPort(pattern, sizeof pattern, Cases[i].Trace, port);
        char* trace = KavoReadFile("net.log", 0);
        char* stop = strstr(trace, "Stopped Tracing ");
        if (stop != NULL)
            *stop = '\0';
        CHECK(KavoMatches(trace, pattern));
        free(trace);
        remove("net.log");
        close(target);
    }
}

static int Configure(int control, unsigned long request, const char* name, const char* address) {
    struct ifreq interface;
    memset(&interface, 0, sizeof interface);
    snprintf(interface.ifr_name, sizeof interface.ifr_name, "%s", name);
    if (address == NULL) {
        if (ioctl(control, SIOCGIFFLAGS, &interface) != 0)
            return -1;
        interface.ifr_flags |= IFF_UP;
        return ioctl(control, request, &interface);
    }
    struct sockaddr_in internet;
    memset(&internet, 0, sizeof internet);
    internet.sin_family = AF_INET;
    internet.sin_addr.s_addr = inet_addr(address);
    memcpy(&interface.ifr_addr, &internet, sizeof internet);
    return ioctl(control, request, &interface);
}

/* In a fresh namespace the loopback interface (hardware address of six zero bytes) is the only one:
 * with 127.0.0.1 alone nothing qualifies; a second address on it does. */
static void LocalAddressSkipsLoopback(void) {
    if (unshare(CLONE_NEWNET) != 0) {
        fprintf(stderr, "skipped: no private network namespace (%s)\n", strerror(errno));
        return;
    }
    int control = socket(AF_INET, SOCK_DGRAM, 0);
    CHECK_INT(Configure(control, SIOCSIFFLAGS, "lo", NULL), 0);
    uint32_t address = 0xA5A5A5A5u;
    unsigned char hardware[6];
    memset(hardware, 0xEE, sizeof hardware);
    CHECK_INT(Kavo.KavoLocalAddress(&address, hardware), 0);
    CHECK_INT(address, 0xA5A5A5A5u);
    CHECK_BYTES(hardware, "\xEE\xEE\xEE\xEE\xEE\xEE", 6);
    CHECK_INT(Configure(control, SIOCSIFADDR, "lo:1", "10.9.8.7"), 0);
    CHECK_INT(Kavo.KavoLocalAddress(&address, hardware), 0);
    CHECK_INT(address, 0x0A090807u);
    CHECK_BYTES(hardware, "\0\0\0\0\0\0", 6);
    close(control);
}

const KavoCase KavoNetCases[] = {
    {"HexTexts", HexTexts},
    {"ConnectivityChecks", ConnectivityChecks},
    {"LocalAddressSkipsLoopback", LocalAddressSkipsLoopback},
    {NULL, NULL},
};
