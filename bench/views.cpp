// The main window's views with a large inventory, offscreen: rebuilding the device list, sorting it
// by each column, rebuilding the filter tree, and one refresh request while a group is selected.
// Prints the median of several runs of each, in milliseconds. Then the scan's cost: the window with
// 10,000 stored devices scans a simulated radio with 100 of them in range, and the process's CPU time
// over the run is reported (--scan-seconds=N, default 60; 0 skips it).
#include "app/DeviceListView.h"
#include "app/MainForm.h"
#include "bluetooth/SimulatedRadio.h"
#include "bluetooth/sdp/SdpBuilder.h"
#include "inventory/SessionState.h"
#include "inventory/Utils.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace orvelle;

constexpr int DeviceCount = 100000;
constexpr int Runs = 5;
constexpr std::int32_t BenchNow = 1700000000;

const char* const ServiceNames[] = {"OBEX Object Push",     "Headset",          "Hands-Free unit",
                                    "Dial-up Networking",   "Serial Port",      "Audio Sink",
                                    "AVRCP Target",         "Phonebook Access", "OBEX File Transfer",
                                    "Network Access Point", "Printer Port",     "Human Interface Device"};
const char* const Locations[] = {"Reception", "Lab", "Hall", "Office 1", "Office 2", "Canteen", "Garage", ""};

void FillInventory(TDeviceList& list) {
    std::vector<std::string> records;
    for (const char* service : ServiceNames)
        records.push_back(TSdpRecord{{0x0100, TSdpData::Text(service)}}.Bytes());
    TDeviceListLock lock(list);
    for (int i = 0; i < DeviceCount; ++i) {
        char address[32];
        std::snprintf(address, sizeof address, "(00:1A:%02X:%02X:%02X:%02X)", (i >> 24) & 0xFF,
                      (i >> 16) & 0xFF, (i >> 8) & 0xFF, i & 0xFF);
        TBTDevice& device = list.AddDevice(address);
        device.Name = "Device " + std::to_string((i * 7919) % DeviceCount);
        device.LastSeen = BenchNow - (i * 37) % (40 * 24 * 3600);
        device.FirstSeen = device.LastSeen - 3600;
        device.SeenCount = 1 + i % 50;
        device.Location = Locations[i % 8];
        device.SetMajorClass(1 + i % 6);
        device.SetMinorClass(i % 5);
        for (int r = 0; r < 3; ++r)
            device.RawSDPRecords.push_back(records[static_cast<std::size_t>((i + r * 5) % 12)]);
        device.AdvertisedServices();
    }
}

double ProcessCpuSeconds() {
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

// Scans for SECONDS with STORED devices in the inventory, INRANGE of them answering every pass, and
// returns the share of one core that the process used meanwhile.
double ScanCpuShare(int seconds, int stored, int inRange) {
    TScenario scenario;
    for (int i = 0; i < inRange; ++i) {
        TScenarioDevice device;
        device.Address = 0x001A00000000ULL + static_cast<std::uint64_t>(i);
        device.Name = "Device " + std::to_string(i);
        device.ClassOfDevice = 0x5A020C;
        device.InRange = {{0, 1000000}};
        scenario.Devices.push_back(device);
    }
    SetClock({});
    SetPlatform(std::make_shared<TSimulatedRadio>(scenario));
    QTemporaryDir directory;
    SetSessionFileName(directory.filePath(QStringLiteral("Orvelle.dat")).toStdString());

    TMainForm form;
    {
        // The devices in range were seen a moment ago, so a pass updates them and queries nothing.
        TDeviceListLock lock(Session->DeviceList());
        for (int i = 0; i < stored; ++i) {
            TBTDevice& device = Session->DeviceList().AddDevice(
                FormatAddressText(0x001A00000000ULL + static_cast<std::uint64_t>(i)));
            device.Name = "Device " + std::to_string(i);
            device.LastSeen = Now() - (i < inRange ? 1 : 3600 + i);
            device.SeenCount = 1;
            device.Location = Locations[i % 8];
            device.SetMajorClass(2);
            device.SetMinorClass(3);
        }
    }
    form.show();
    QApplication::processEvents();
    const double start = ProcessCpuSeconds();
    QTimer::singleShot(seconds * 1000, &form, &QWidget::close);
    QApplication::exec();
    return (ProcessCpuSeconds() - start) / seconds;
}

void MeasureViews(TMainForm& form);

double MedianMilliseconds(const std::function<void()>& work) {
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    int scanSeconds = 60;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--scan-seconds=", 15) == 0)
            scanSeconds = std::atoi(argv[i] + 15);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir directory;
    SetSessionFileName(directory.filePath(QStringLiteral("Orvelle.dat")).toStdString());
    SetPlatform(std::make_shared<TSimulatedRadio>(TScenario{}));
    SetClock([] { return BenchNow; });

    {
        TMainForm form;
        form.show();
        QApplication::processEvents();
        MeasureViews(form);
    }
    if (scanSeconds > 0)
        std::printf(
            "scan of 100 devices in range among 10,000 stored, %d s: %.1f%% of one core (goal: under 10%%)\n",
            scanSeconds, 100.0 * ScanCpuShare(scanSeconds, 10000, 100));
    return 0;
}

namespace {

void MeasureViews(TMainForm& form) {
    FillInventory(Session->DeviceList());

    std::printf("views with %d devices, median of %d runs (goal: each under 100 ms)\n", DeviceCount, Runs);
    // The first filter is "Now": a rebuild with every device admitted shows the full cost of rows.
    form.FilterTree().selectionModel()->clearSelection();
    form.findChild<QAction*>(QStringLiteral("ApplyFilter"))->trigger();
    std::printf("  BuildDeviceList (all devices)   %8.1f ms  (%d rows)\n",
                MedianMilliseconds([&form] { form.BuildDeviceList(); }),
                form.DeviceTree().model()->rowCount());

    const char* const columns[] = {"Name", "First Seen/LastSeen", "Type/Flags", "Location"};
    for (int column = 0; column < 4; ++column) {
        TDeviceTreeView& tree = form.DeviceTree();
        const double time = MedianMilliseconds([&form, &tree, column] {
            while (tree.SortColumn() != -1)
                tree.DeviceTreeHeaderClick(tree.SortColumn());
            tree.DeviceTreeHeaderClick(column);
            form.BuildDeviceList();
        });
        std::printf("  sort by %-22s  %8.1f ms\n", columns[column], time);
    }
    while (form.DeviceTree().SortColumn() != -1)
        form.DeviceTree().DeviceTreeHeaderClick(form.DeviceTree().SortColumn());

    std::printf("  BuildFilterTree                 %8.1f ms\n",
                MedianMilliseconds([&form] { form.BuildFilterTree(); }));

    form.findChild<QAction*>(QStringLiteral("ApplyFilter"))->trigger();
    QAbstractItemModel* filters = form.FilterTree().model();
    const QModelIndex location = filters->index(1, 0);
    form.FilterTree().selectionModel()->setCurrentIndex(filters->index(0, 0, location),
                                                        QItemSelectionModel::ClearAndSelect);
    const double refresh = MedianMilliseconds([&form] {
        form.DeviceDataChanged();
        QCoreApplication::sendPostedEvents(&form);
        QApplication::processEvents();
    });
    std::printf("  refresh with a group selected   %8.1f ms  (%d rows)\n", refresh,
                form.DeviceTree().model()->rowCount());
}

} // namespace
