// The crash report: on a fatal signal the stack trace goes to a file beside the session file, and
// the process then ends as it would have without the handler.
#pragma once

#include <string>

namespace orvelle {

// "Orvelle.crash.txt" in the directory of SESSIONFILE.
std::string CrashReportPath(const std::string& sessionFile);

// Installs the handler for SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT, writing to REPORTPATH. A
// later call replaces the path.
void InstallCrashHandler(const std::string& reportPath);

} // namespace orvelle
