// The program's command line: which radio to scan, which session file to use, and the usual --help
// and --version. Parsed before the application object exists, so that these work without a display.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvelle {

struct TCommandLine {
    bool Simulate = false;
    // The scenario of --simulate=FILE; none for the built-in demo scenario.
    std::optional<std::string> ScenarioFile;
    std::optional<std::string> SessionFile;
    // How long one pass listens on the Bluetooth adapter (--inquiry-seconds=N); none for the backend's
    // default.
    std::optional<int> InquirySeconds;
    bool Help = false;
    bool Version = false;
    // Set when the command line is wrong; the program then prints it with the usage and exits with 2.
    std::string Error;
    // The arguments that are not the program's own (the toolkit's options such as -platform), with
    // the program name first.
    std::vector<std::string> Remaining;
};

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

std::string UsageText();
std::string VersionText();

} // namespace orvelle
