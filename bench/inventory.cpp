// Speed of the session file and the device list at the size of months of scanning: 100,000 devices
// (six service records and a location each) and 100,000 log lines. Prints the file size, the speed
// of saving and loading beside a plain `cp` of the same file, the time of FindDevice and of the
// services list, and the peak memory. Usage: bench_inventory [DIRECTORY [--keep]] (default /var/tmp);
// --keep leaves the session file there, for profiling the tool on it.
#include "bluetooth/sdp/SampleRecords.h"
#include "inventory/FileIO.h"
#include "inventory/SessionFile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using namespace orvelle;
using Clock = std::chrono::steady_clock;

constexpr int DeviceCount = 100'000;
constexpr int LogLines = 100'000;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// CPU seconds of this process, and of its finished children: on a machine shared with other work
// these measure the work itself, where the wall clock also measures the waiting for a core.
double ProcessSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double ChildrenSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& value) {
        return static_cast<double>(value.tv_sec) + static_cast<double>(value.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Wall and CPU seconds of one step.
struct TTiming {
    double Wall, Cpu;
};

template<class Step>
TTiming Timed(Step&& step) {
    const auto start = Clock::now();
    const double cpu = ProcessSeconds();
    step();
    return {Seconds(start), ProcessSeconds() - cpu};
}

std::string AddressOf(int index) {
    char text[32];
    std::snprintf(text, sizeof text, "(00:1A:7D:%02X:%02X:%02X)", (index >> 16) & 0xFF, (index >> 8) & 0xFF,
                  index & 0xFF);
    return text;
}

// Devices of the sample kinds; each record gets a handle of its own so that no two are alike.
std::unique_ptr<TSessionState> LargeSession() {
    const auto samples = SampleRecords();
    auto state = std::make_unique<TSessionState>();
    TDeviceList& list = state->DeviceList();
    const TDeviceListLock guard(list);
    for (int i = 0; i < DeviceCount; ++i) {
        TBTDevice& device = list.AddDevice(AddressOf(i));
        device.Name = "Device " + std::to_string(i);
        device.SetMajorClass(1 + i % 6);
        device.SetMinorClass(i % 7);
        device.FirstSeen = 1133946400 + i;
        device.LastSeen = 1133946400 + 2 * i;
        device.SeenCount = 1 + i % 500;
        device.Location = "Building " + std::to_string(i % 12) + ", room " + std::to_string(i % 97);
        std::vector<std::string> records;
        for (const TSampleRecord& sample : samples) {
            std::string bytes = sample.Bytes;
            if (bytes.size() > 12) {
                bytes[10] = static_cast<char>(i);
                bytes[11] = static_cast<char>(i >> 8);
            }
            records.push_back(std::move(bytes));
        }
        device.RawSDPRecords = std::move(records);
    }
    for (int i = 0; i < LogLines; ++i)
        state->Log.push_back("12/07/05 at 09:13:20: Found new device: " + AddressOf(i));
    state->SetLocation("Building 1, room 1");
    return state;
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path directory = argc > 1 ? argv[1] : "/var/tmp";
    const std::string path = (directory / "bench-inventory.dat").string();
    const std::string copy = (directory / "bench-inventory-copy.dat").string();

    auto state = LargeSession();

    std::string text;
    const TTiming encode = Timed([&] {
        const TDeviceListLock guard(state->DeviceList());
        text = ComponentToText(*state);
    });
    const double megabytes = static_cast<double>(text.size()) / 1e6;
    text = std::string();
    const TTiming save = Timed([&] { SaveComponentToFile(*state, path); });

    // cp of the same file, as a child: its wall time and its CPU time.
    const auto copied = [&](const std::string& command) {
        const auto start = Clock::now();
        const double cpu = ChildrenSeconds();
        if (std::system(command.c_str()) != 0)
            std::exit(1);
        return TTiming{Seconds(start), ChildrenSeconds() - cpu};
    };
    const TTiming cp = copied("cp '" + path + "' '" + copy + "'");
    const TTiming cpSync = copied("cp '" + path + "' '" + copy + "' && sync '" + copy + "'");

    // The peak reported at the end is that of the larger of building and loading, not both at once.
    state.reset();
    // Reading alone, in pieces of the size the loader reads.
    const TTiming read = Timed([&] {
        TFileReader file(path);
        std::vector<char> buffer(256 * 1024);
        while (file.Read(buffer.data(), buffer.size()).value_or(0) > 0) {
        }
    });
    std::unique_ptr<TSessionState> loaded;
    const TTiming load = Timed([&] { loaded = LoadComponentFromFile(path); });
    if (!loaded)
        return 1;

    const auto print = [megabytes](const char* name, const TTiming& timing, const TTiming& reference) {
        std::printf("%-22s wall %.3f s (%4.0f MB/s, %4.1f x cp), cpu %.3f s (%4.0f MB/s, %4.1f x cp)\n", name,
                    timing.Wall, megabytes / timing.Wall, timing.Wall / reference.Wall, timing.Cpu,
                    megabytes / timing.Cpu, timing.Cpu / reference.Cpu);
    };
    std::printf("file size:             %.1f MB\n", megabytes);
    std::printf("cp:                    wall %.3f s, cpu %.3f s; cp + sync: wall %.3f s, cpu %.3f s\n",
                cp.Wall, cp.Cpu, cpSync.Wall, cpSync.Cpu);
    print("encode (in memory):", encode, cp);
    print("save (fsync, rename):", save, cp);
    print("save against cp+sync:", save, cpSync);
    print("load:", load, cp);
    print("  of which reading:", read, cp);

    TDeviceList& list = loaded->DeviceList();
    const TDeviceListLock guard(list);
    std::vector<std::string> addresses;
    for (int i = 0; i < DeviceCount; ++i)
        addresses.push_back(AddressOf(i));
    list.FindDevice(addresses[0]);
    int found = 0;
    const TTiming find = Timed([&] {
        for (const std::string& address : addresses)
            found += list.FindDevice(address) != nullptr ? 1 : 0;
    });
    std::printf("FindDevice:            wall %.0f ns, cpu %.0f ns per address (%d of %d found)\n",
                find.Wall * 1e9 / DeviceCount, find.Cpu * 1e9 / DeviceCount, found, DeviceCount);

    std::size_t services = 0;
    const auto allServices = [&] {
        for (int i = 0; i < list.Count(); ++i)
            services += list.GetDevice(i).AdvertisedServices().size();
    };
    const TTiming first = Timed(allServices);
    const TTiming cached = Timed(allServices);
    std::printf(
        "AdvertisedServices:    cpu %.0f ns per device when built, %.0f ns from the cache (%zu names)\n",
        first.Cpu * 1e9 / DeviceCount, cached.Cpu * 1e9 / DeviceCount, services);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory:           %.0f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    if (argc < 3 || std::string(argv[2]) != "--keep")
        std::filesystem::remove(path);
    std::filesystem::remove(copy);
    return 0;
}
