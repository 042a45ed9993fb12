// Parsing of the program's own options; everything else is left to the toolkit.
#include "app/CommandLine.h"

#include <charconv>
#include <string_view>

namespace orvelle {

namespace {

// The value of "--NAME=VALUE" when ARGUMENT has that form.
std::optional<std::string> OptionValue(std::string_view argument, std::string_view name) {
    if (argument.size() > name.size() && argument.substr(0, name.size()) == name &&
        argument[name.size()] == '=')
        return std::string(argument.substr(name.size() + 1));
    return std::nullopt;
}

// A pass longer than an hour would keep the adapter busy without any use; the bound also keeps the
// window's end time far from overflowing.
constexpr int MaxInquirySeconds = 3600;

constexpr const char* InquirySecondsUsage =
    "--inquiry-seconds needs a whole number of seconds from 1 to 3600: --inquiry-seconds=N";

// The seconds of "--inquiry-seconds=TEXT" when all of TEXT is a whole number in range, so that blanks,
// fractions and trailing letters are refused rather than half read.
std::optional<int> InquirySeconds(std::string_view text) {
    int seconds = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, seconds);
    if (error != std::errc() || stop != end || seconds < 1 || seconds > MaxInquirySeconds)
        return std::nullopt;
    return seconds;
}

} // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    TCommandLine result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (i == 0 || argument.rfind("--", 0) != 0) {
            result.Remaining.push_back(argument);
        } else if (argument == "--help") {
            result.Help = true;
        } else if (argument == "--version") {
            result.Version = true;
        } else if (argument == "--simulate") {
            result.Simulate = true;
        } else if (auto file = OptionValue(argument, "--simulate")) {
            result.Simulate = true;
            result.ScenarioFile = *file;
        } else if (auto path = OptionValue(argument, "--session")) {
            if (path->empty())
                result.Error = "--session needs a file name: --session=PATH";
            result.SessionFile = *path;
        } else if (argument == "--session") {
            result.Error = "--session needs a file name: --session=PATH";
        } else if (auto seconds = OptionValue(argument, "--inquiry-seconds")) {
            result.InquirySeconds = InquirySeconds(*seconds);
            if (!result.InquirySeconds)
                result.Error = InquirySecondsUsage;
        } else if (argument == "--inquiry-seconds") {
            result.Error = InquirySecondsUsage;
        } else {
            result.Error = "unknown option " + argument;
        }
        if (!result.Error.empty())
            break;
    }
    if (result.Error.empty() && result.ScenarioFile && result.ScenarioFile->empty())
        result.Error = "--simulate= needs a scenario file name: --simulate=FILE";
    return result;
}

std::string UsageText() {
    return "Usage: orvelle [OPTION]...\n"
           "Scan for Bluetooth devices and keep an inventory of every device seen.\n"
           "\n"
           "  --simulate         scan the simulated radio with the built-in demo scenario\n"
           "  --simulate=FILE    scan the simulated radio with the scenario FILE (JSON)\n"
           "  --session=PATH     keep the session in PATH (default: Orvelle.dat beside the program)\n"
           "  --inquiry-seconds=N\n"
           "                     listen N seconds (1-3600, default 12) in each pass over the adapter\n"
           "  --help             show this help and exit\n"
           "  --version          show the version and exit\n"
           "\n"
           "Without --simulate the computer's own Bluetooth adapter is scanned.\n";
}

std::string VersionText() {
    return "orvelle " ORVELLE_VERSION "\n";
}

} // namespace orvelle
