// The session state: the location setter, loading and saving the session file, the save errors and
// the copy kept of a rejected file.
#include "InventoryTestSupport.h"

#include "inventory/Errors.h"
#include "inventory/SessionFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <sys/stat.h>
#include <thread>

namespace orvelle {
namespace {

using test::ReadAll;
using test::TestData;
using test::TTempDir;
using test::WorkedExampleState;
using test::WriteAll;

TEST(SessionState, StartsWithItsConstructionValues) {
    const TSessionState state;
    EXPECT_EQ(state.DeviceList().Count(), 0);
    EXPECT_TRUE(state.LocationList.empty());
    EXPECT_EQ(state.Location(), "");
    EXPECT_TRUE(state.Log.empty());
    EXPECT_FALSE(state.HideInactive);
    EXPECT_EQ(state.FoundSound, "C:\\WINDOWS\\Media\\Windows XP Information Bar.wav");
}

TEST(SessionState, SetLocationKeepsTheListSortedAndFreeOfCaseDuplicates) {
    struct TCase {
        std::vector<std::string> Before;
        std::string Location;
        std::vector<std::string> After;
    };
    const TCase cases[] = {
        {{"Office", "kitchen"}, "Lab", {"kitchen", "Lab", "Office"}},
        {{"Office"}, "office", {"Office"}},
        {{}, "Lab", {"Lab"}},
        {{"b"}, "", {"", "b"}},
        {{"Caf\xE9"}, "CAF\xC9", {"Caf\xE9"}},
    };
    for (const TCase& c : cases) {
        TSessionState state;
        state.LocationList = c.Before;
        state.SetLocation(c.Location);
        EXPECT_EQ(state.Location(), c.Location);
        EXPECT_EQ(state.LocationList, c.After) << c.Location;
    }
}

// The scan thread copies the location under the list's lock while the window replaces it.
TEST(SessionState, SetLocationIsExclusiveWithReadersHoldingTheLock) {
    TSessionState state;
    std::thread scanner([&state] {
        for (int i = 0; i < 2000; ++i) {
            const TDeviceListLock guard(state.DeviceList());
            const std::string copy = state.Location();
            EXPECT_TRUE(copy.empty() || copy.starts_with("Room"));
        }
    });
    for (int i = 0; i < 200; ++i)
        state.SetLocation("Room " + std::to_string(i) + std::string(40, 'x'));
    scanner.join();
}

class SessionFileTest : public ::testing::Test {
protected:
    void SetUp() override { SetSessionFileName(FDirectory.File("Orvelle.dat")); }
    void TearDown() override { SetSessionFileName({}); }
    std::string Path() const { return SessionFileName(); }

    TTempDir FDirectory;
};

TEST_F(SessionFileTest, SavesAndLoadsTheWorkedExample) {
    const auto state = WorkedExampleState();
    SaveSession(*state);
    EXPECT_EQ(ReadAll(Path()), TestData("worked_example.dat"));
    const std::unique_ptr<TSessionState> loaded(LoadSession());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(ComponentToText(*loaded), TestData("worked_example.dat"));
}

TEST_F(SessionFileTest, MissingFileGivesAFreshSessionAndNoRejectedCopy) {
    const std::unique_ptr<TSessionState> state(LoadSession());
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(ComponentToText(*state), ComponentToText(TSessionState()));
    EXPECT_FALSE(std::filesystem::exists(Path() + ".rejected"));
}

TEST_F(SessionFileTest, KeepsARejectedFileBesideTheSessionFile) {
    const std::string example = TestData("worked_example.dat");
    const std::string damaged = example.substr(0, example.find("Location = 'Office'"));
    WriteAll(Path(), damaged);
    WriteAll(Path() + ".rejected", "an older rejected file");
    const std::unique_ptr<TSessionState> state(LoadSession());
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->DeviceList().Count(), 0);
    EXPECT_EQ(ReadAll(Path() + ".rejected"), damaged);
    SaveSession(*state);
    EXPECT_EQ(ReadAll(Path()), ComponentToText(TSessionState()));
    EXPECT_EQ(ReadAll(Path() + ".rejected"), damaged);
}

TEST_F(SessionFileTest, ReadOnlyFileStaysUntouchedAndEverySaveFails) {
    const std::string before = TestData("worked_example.dat");
    WriteAll(Path(), before);
    ASSERT_EQ(chmod(Path().c_str(), 0444), 0);
    TSessionState state;
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            SaveSession(state);
            FAIL() << "saving over a read-only file succeeded";
        } catch (const EOrvelleError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot open file " + Path());
        }
    }
    EXPECT_EQ(ReadAll(Path()), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(FDirectory.Path()), {}), 1)
        << "no temporary file may be left behind";
}

TEST_F(SessionFileTest, UncreatableFileFailsWithItsPath) {
    const std::string path = FDirectory.File("missing-directory/Orvelle.dat");
    SetSessionFileName(path);
    TSessionState state;
    try {
        SaveSession(state);
        FAIL() << "saving into a missing directory succeeded";
    } catch (const EOrvelleError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to create file: " + path);
    }
}

// A save replaces the file as a whole and keeps its permissions; nothing else is left beside it.
TEST_F(SessionFileTest, SaveReplacesTheWholeFileAndKeepsItsMode) {
    WriteAll(Path(), std::string(100000, 'x'));
    ASSERT_EQ(chmod(Path().c_str(), 0640), 0);
    TSessionState state;
    SaveSession(state);
    EXPECT_EQ(ReadAll(Path()), ComponentToText(state));
    struct stat status {};
    ASSERT_EQ(stat(Path().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(FDirectory.Path()), {}), 1);
}

// A writable session file beside which no temporary file can be made (here: its name leaves no room
// for the temporary's) is still saved, in place.
TEST_F(SessionFileTest, FileWithoutRoomForATemporaryIsRewrittenInPlace) {
    const std::string path = FDirectory.File(std::string(NAME_MAX - 4, 'a') + ".dat");
    WriteAll(path, std::string(100000, 'x'));
    SetSessionFileName(path);
    SaveSession(*WorkedExampleState());
    EXPECT_EQ(ReadAll(path), TestData("worked_example.dat"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(FDirectory.Path()), {}), 1);
}

TEST_F(SessionFileTest, SavingThroughALinkReplacesTheFileItNames) {
    const std::string target = FDirectory.File("real.dat");
    WriteAll(target, "old");
    std::filesystem::create_symlink(target, Path());
    SaveSession(*WorkedExampleState());
    EXPECT_TRUE(std::filesystem::is_symlink(Path()));
    EXPECT_EQ(ReadAll(target), TestData("worked_example.dat"));
}

TEST(SessionFileName, DefaultsToTheProgramDirectory) {
    SetSessionFileName({});
    EXPECT_EQ(SessionFileName(), ProgramDirectory() + "Orvelle.dat");
    SetSessionFileName("/somewhere/else.dat");
    EXPECT_EQ(SessionFileName(), "/somewhere/else.dat");
    SetSessionFileName({});
}

} // namespace
} // namespace orvelle
