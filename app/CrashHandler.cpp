// Fatal-signal handler that writes a stack trace. Only async-signal-safe calls run in the handler:
// the path is prepared beforehand, and backtrace() is called once at installation so that its
// library is already loaded when the handler needs it.
#include "app/CrashHandler.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <cstring>
#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

namespace orvelle {

namespace {

std::array<char, 4096> ReportPath{};
constexpr std::array FatalSignals{SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

void WriteText(int file, const char* text) {
    const ssize_t written = write(file, text, std::strlen(text));
    (void)written;
}

void WriteNumber(int file, int value) {
    std::array<char, 16> digits{};
    std::size_t position = digits.size() - 1;
    unsigned number = static_cast<unsigned>(value < 0 ? -value : value);
    do {
        digits[--position] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0 && position > 0);
    WriteText(file, &digits[position]);
}

void CrashSignalHandler(int signal) {
    const int file = open(ReportPath.data(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file >= 0) {
        WriteText(file, "Orvelle " ORVELLE_VERSION " ended by signal ");
        WriteNumber(file, signal);
        WriteText(file, " (");
        WriteText(file, sigabbrev_np(signal) ? sigabbrev_np(signal) : "?");
        WriteText(file, ")\n\nStack trace:\n");
        std::array<void*, 128> frames{};
        const int count = backtrace(frames.data(), static_cast<int>(frames.size()));
        backtrace_symbols_fd(frames.data(), count, file);
        close(file);
    }
    // The handler was installed with SA_RESETHAND, so the signal's default action now applies. A
    // raised signal is delivered on return; a fault repeats when its instruction runs again.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

std::string CrashReportPath(const std::string& sessionFile) {
    const std::size_t slash = sessionFile.rfind('/');
    const std::string directory =
        slash == std::string::npos ? std::string() : sessionFile.substr(0, slash + 1);
    return directory + "Orvelle.crash.txt";
}

void InstallCrashHandler(const std::string& reportPath) {
    const std::size_t length = std::min(reportPath.size(), ReportPath.size() - 1);
    std::memcpy(ReportPath.data(), reportPath.data(), length);
    ReportPath[length] = '\0';

    std::array<void*, 4> warmUp{};
    backtrace(warmUp.data(), static_cast<int>(warmUp.size()));

    // A stack overflow leaves no stack for the handler: give it its own.
    static std::array<char, 64 * 1024> alternateStack{};
    stack_t stack{};
    stack.ss_sp = alternateStack.data();
    stack.ss_size = alternateStack.size();
    sigaltstack(&stack, nullptr);

    struct sigaction action {};
    action.sa_handler = CrashSignalHandler;
    action.sa_flags = SA_RESETHAND | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : FatalSignals)
        sigaction(signal, &action, nullptr);
}

} // namespace orvelle
