// The commands of orvelle-inventory. Each loads the session file as the program does; rewrite reads
// its input completely before it touches the output, and writes nothing when the input is rejected.
#include "tools/InventoryTool.h"

#include "bluetooth/sdp/CodePage.h"
#include "inventory/Errors.h"
#include "inventory/SessionFile.h"
#include "tools/DeviceTable.h"

#include <functional>
#include <map>
#include <memory>

namespace orvelle {

namespace {

constexpr const char* Usage =
    "Usage: orvelle-inventory COMMAND ...\n"
    "  check FILE                 load FILE and count its devices, log lines and locations\n"
    "  rewrite IN OUT             load IN and save it to OUT with the program's writer\n"
    "  list FILE [--csv|--json]   one row per device\n"
    "  sdp FILE ADDRESS           the SDP text of the device with that address\n"
    "  services FILE ADDRESS      the advertised services of that device, one a line\n";

// A session file loaded for one command, or the failure already reported.
std::unique_ptr<TSessionState> Load(const std::string& path, std::ostream& err) {
    auto state = LoadComponentFromFile(path);
    if (!state)
        err << "Rejected session file: " << path << " (missing, unreadable or malformed)\n";
    return state;
}

int Check(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    const auto state = Load(arguments[0], err);
    if (!state)
        return tsFailure;
    int devices = 0;
    {
        const TDeviceListLock guard(state->DeviceList());
        devices = state->DeviceList().Count();
    }
    out << devices << " devices, " << state->Log.size() << " log lines, " << state->LocationList.size()
        << " locations\n";
    return tsSuccess;
}

int Rewrite(const std::vector<std::string>& arguments, std::ostream&, std::ostream& err) {
    const auto state = Load(arguments[0], err);
    if (!state)
        return tsFailure;
    try {
        SaveComponentToFile(*state, arguments[1]);
    } catch (const EOrvelleError& error) {
        err << CodePageToUtf8(error.what()) << '\n';
        return tsFailure;
    }
    return tsSuccess;
}

int List(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    std::string path;
    TTableFormat format = tfText;
    for (const std::string& argument : arguments) {
        if (argument == "--csv" || argument == "--json") {
            format = argument == "--csv" ? tfCsv : tfJson;
        } else if (path.empty() && !argument.starts_with("--")) {
            path = argument;
        } else {
            err << "list: unexpected argument " << argument << '\n' << Usage;
            return tsUsage;
        }
    }
    if (path.empty()) {
        err << "list: no session file given\n" << Usage;
        return tsUsage;
    }
    const auto state = Load(path, err);
    if (!state)
        return tsFailure;
    WriteDeviceTable(out, DeviceRows(state->DeviceList()), format);
    return tsSuccess;
}

// Runs SHOW on the device with the address in ARGUMENTS[1] (given in UTF-8), under the list's lock.
int WithDevice(const std::vector<std::string>& arguments, std::ostream& err,
               const std::function<void(TBTDevice&)>& show) {
    const auto state = Load(arguments[0], err);
    if (!state)
        return tsFailure;
    const TDeviceListLock guard(state->DeviceList());
    TBTDevice* device = state->DeviceList().FindDevice(Utf8ToCodePage(arguments[1]));
    if (device == nullptr) {
        err << "No device with the address " << arguments[1] << " in " << arguments[0] << '\n';
        return tsFailure;
    }
    try {
        show(*device);
    } catch (const EOrvelleError& error) {
        err << CodePageToUtf8(error.what()) << '\n';
        return tsFailure;
    }
    return tsSuccess;
}

int Sdp(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    return WithDevice(arguments, err, [&out](TBTDevice& device) {
        const std::string text = CodePageToUtf8(device.SDPText());
        out << text << (text.ends_with('\n') ? "" : "\n");
    });
}

int Services(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    return WithDevice(arguments, err, [&out](TBTDevice& device) {
        for (const std::string& service : device.AdvertisedServices())
            out << CodePageToUtf8(service) << '\n';
    });
}

struct TCommand {
    // Number of arguments after the command's name; -1 lets the command check them itself.
    int Arguments;
    std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)> Run;
};

} // namespace

int RunInventoryTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    const std::map<std::string, TCommand> commands{
        {"check", {1, Check}}, {"rewrite", {2, Rewrite}},   {"list", {-1, List}},
        {"sdp", {2, Sdp}},     {"services", {2, Services}},
    };
    if (!arguments.empty() && (arguments[0] == "--help" || arguments[0] == "-h")) {
        out << Usage;
        return tsSuccess;
    }
    const auto command = arguments.empty() ? commands.end() : commands.find(arguments[0]);
    if (command == commands.end()) {
        err << (arguments.empty() ? "No command given\n" : "Unknown command: " + arguments[0] + '\n')
            << Usage;
        return tsUsage;
    }
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (command->second.Arguments >= 0 &&
        rest.size() != static_cast<std::size_t>(command->second.Arguments)) {
        err << command->first << ": wrong number of arguments\n" << Usage;
        return tsUsage;
    }
    return command->second.Run(rest, out, err);
}

} // namespace orvelle
