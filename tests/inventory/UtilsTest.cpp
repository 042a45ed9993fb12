// Time texts, the program directory and the clock seam.
#include "InventoryTestSupport.h"

#include "inventory/Utils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace orvelle {
namespace {

class TimeTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* zone = std::getenv("TZ");
        FZone = zone != nullptr ? std::optional<std::string>(zone) : std::nullopt;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (FZone)
            setenv("TZ", FZone->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> FZone;
};

TEST_F(TimeTextTest, FormatsLocalTimeAsMonthDayYearAtTime) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {1133946400, "12/07/05 at 09:06:40"}, {1, "01/01/70 at 00:00:01"},
        {-1, "12/31/69 at 23:59:59"},         {INT32_MAX, "01/19/38 at 03:14:07"},
        {INT32_MIN, "12/13/01 at 20:45:52"},  {0, ""},
    };
    for (const auto& [time, text] : cases)
        EXPECT_EQ(TimeText(time), text) << time;
}

TEST(ProgramDirectory, IsTheDirectoryOfTheRunningProgram) {
    const std::string directory = ProgramDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '/');
    EXPECT_TRUE(std::filesystem::equivalent(directory + "test_inventory", "/proc/self/exe"));
}

TEST(Clock, ReadsTheInstalledClockUntilItIsRemoved) {
    {
        const test::TFixedClock clock(42);
        EXPECT_EQ(Now(), 42);
    }
    const auto system = static_cast<std::int32_t>(std::time(nullptr));
    EXPECT_LE(std::abs(Now() - system), 2);
}

TEST(LastErrorText, IsReachableThroughUtils) {
    SetLastError(leInvalidData);
    EXPECT_EQ(GetLastErrorText(), "The data is invalid.\r\n");
    SetLastError(4242);
    EXPECT_EQ(GetLastErrorText(), "4242");
    SetLastError(leSuccess);
}

} // namespace
} // namespace orvelle
