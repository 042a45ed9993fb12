// Time texts, the program's directory and the replaceable clock.
#include "inventory/Utils.h"

#include <climits>
#include <cstdio>
#include <ctime>
#include <memory>
#include <mutex>
#include <unistd.h>

namespace orvelle {

namespace {

std::mutex ClockMutex;
std::function<std::int32_t()> Clock;

std::int32_t SystemClock() {
    return static_cast<std::int32_t>(std::time(nullptr));
}

} // namespace

std::string TimeText(std::int32_t time) {
    if (time == 0)
        return {};
    const std::time_t value = time;
    std::tm local{};
    localtime_r(&value, &local);
    // "%D at %T", spelled out: the two-digit year is the intended form.
    char text[200];
    const int length =
        std::snprintf(text, sizeof text, "%02d/%02d/%02d at %02d:%02d:%02d", local.tm_mon + 1, local.tm_mday,
                      local.tm_year % 100, local.tm_hour, local.tm_min, local.tm_sec);
    return std::string(text, static_cast<std::size_t>(length));
}

std::string ProgramDirectory() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path)
        return "./";
    const std::string file(path, static_cast<std::size_t>(length));
    return file.substr(0, file.rfind('/') + 1);
}

std::int32_t Now() {
    std::function<std::int32_t()> clock;
    {
        const std::lock_guard guard(ClockMutex);
        clock = Clock;
    }
    return clock ? clock() : SystemClock();
}

void SetClock(std::function<std::int32_t()> clock) {
    const std::lock_guard guard(ClockMutex);
    Clock = std::move(clock);
}

} // namespace orvelle
