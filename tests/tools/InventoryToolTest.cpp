// orvelle-inventory's commands run in-process over session files in a temporary directory.
#include "tools/InventoryTool.h"
#include "bluetooth/sdp/SdpBuilder.h"
#include "inventory/SessionFile.h"
#include "tests/inventory/InventoryTestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace orvelle {
namespace {

using test::ReadAll;
using test::TTempDir;
using test::WriteAll;

// The inventory's copy of the worked example, beside this module's data folder.
const std::string WorkedExamplePath =
    (std::filesystem::path(ORVELLE_TEST_DATA_DIR).parent_path().parent_path() /
     "inventory/data/worked_example.dat")
        .string();
const std::string WorkedExample = ReadAll(WorkedExamplePath);

std::string Service(const std::string& name) {
    return TSdpRecord{{0x0001, TSdpData::Sequence({TSdpData::Uuid16(0x1108)})},
                      {0x0100, TSdpData::Text(name)}}
        .Bytes();
}

class InventoryToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }

    std::string File(const std::string& name) const { return FDirectory.File(name); }

    int Run(const std::vector<std::string>& arguments) {
        FOut.str({});
        FErr.str({});
        return RunInventoryTool(arguments, FOut, FErr);
    }

    // A session whose texts need care in every output form: separators, quotes, line breaks and
    // letters outside ASCII in the code page, and a device whose record cannot be rendered.
    std::string AwkwardSession() {
        TSessionState state;
        {
            TDeviceList& list = state.DeviceList();
            const TDeviceListLock guard(list);
            TBTDevice& phone = list.AddDevice("(00:00:00:00:00:01)");
            phone.Name = "Ren\xE9's \"phone\", new\nline";
            phone.SetMajorClass(2);
            phone.SetMinorClass(1);
            phone.FirstSeen = 1133946400;
            phone.LastSeen = 1133946800;
            phone.SeenCount = 2;
            phone.Location = "Caf\xE9";
            phone.RawSDPRecords = {Service("Headset"), Service("Voice \x80")};
            TBTDevice& broken = list.AddDevice("(00:00:00:00:00:02)");
            broken.FirstSeen = 1;
            broken.RawSDPRecords = {std::string("\x35\x10\x09", 3)};
        }
        const std::string path = File("awkward.dat");
        SaveComponentToFile(state, path);
        return path;
    }

    TTempDir FDirectory;
    std::ostringstream FOut, FErr;
};

TEST_F(InventoryToolTest, CheckCountsWhatTheFileHolds) {
    EXPECT_EQ(Run({"check", WorkedExamplePath}), 0) << FErr.str();
    EXPECT_EQ(FOut.str(), "1 devices, 2 log lines, 1 locations\n");
}

TEST_F(InventoryToolTest, CheckRejectsMalformedAndMissingFiles) {
    WriteAll(File("cut.dat"), WorkedExample.substr(0, 300));
    WriteAll(File("colour.dat"), "object TSessionState\r\n  Colour = 1\r\nend\r\n");
    for (const std::string& path : {File("cut.dat"), File("colour.dat"), File("missing.dat")}) {
        EXPECT_EQ(Run({"check", path}), 1) << path;
        EXPECT_EQ(FOut.str(), "");
        EXPECT_NE(FErr.str().find(path), std::string::npos) << FErr.str();
    }
}

TEST_F(InventoryToolTest, RewriteGivesTheWriterBytesAndIsStable) {
    ASSERT_EQ(Run({"rewrite", WorkedExamplePath, File("out.dat")}), 0) << FErr.str();
    EXPECT_EQ(ReadAll(File("out.dat")), WorkedExample);

    // Another layout of the same state comes out in the writer's layout, and again unchanged.
    std::string loose = WorkedExample;
    for (auto at = loose.find("\r\n"); at != std::string::npos; at = loose.find("\r\n", at))
        loose.replace(at, 2, "\n\t");
    WriteAll(File("loose.dat"), loose);
    ASSERT_EQ(Run({"rewrite", File("loose.dat"), File("once.dat")}), 0) << FErr.str();
    EXPECT_EQ(ReadAll(File("once.dat")), WorkedExample);
    const std::string awkward = AwkwardSession();
    ASSERT_EQ(Run({"rewrite", awkward, File("twice.dat")}), 0) << FErr.str();
    EXPECT_EQ(ReadAll(File("twice.dat")), ReadAll(awkward));
}

TEST_F(InventoryToolTest, RewriteWritesNothingWhenTheInputIsRejected) {
    WriteAll(File("in.dat"), "object TForm\r\nend\r\n");
    EXPECT_EQ(Run({"rewrite", File("in.dat"), File("out.dat")}), 1);
    EXPECT_FALSE(std::filesystem::exists(File("out.dat")));
    // The output's own failure carries the writer's message.
    const std::string uncreatable = File("no/such/dir.dat");
    EXPECT_EQ(Run({"rewrite", WorkedExamplePath, uncreatable}), 1);
    EXPECT_EQ(FErr.str(), "Unable to create file: " + uncreatable + "\n");
}

TEST_F(InventoryToolTest, ListShowsOneAlignedRowPerDevice) {
    ASSERT_EQ(Run({"list", WorkedExamplePath}), 0) << FErr.str();
    EXPECT_EQ(FOut.str(),
              "Name       Address              Type   Class          First seen            Last seen  "
              "           Seen count  Location  Flags  Services\n"
              "Organizer  (00:0A:3A:54:12:34)  dtPDA  Palm Computer  12/07/05 at 09:06:40  12/07/05 at "
              "09:13:20  3           Office    SDP    Unknown\n");
}

TEST_F(InventoryToolTest, ListAsCsvQuotesPerRfc4180) {
    ASSERT_EQ(Run({"list", "--csv", AwkwardSession()}), 0) << FErr.str();
    EXPECT_EQ(FOut.str(),
              "Name,Address,Type,Class,First seen,Last seen,Seen count,Location,Flags,Services\r\n"
              "\"Ren\xC3\xA9's \"\"phone\"\", new\nline\",(00:00:00:00:00:01),dtPhone,Cellular Phone,"
              "12/07/05 at 09:06:40,12/07/05 at 09:13:20,2,Caf\xC3\xA9,SDP,Headset; Voice \xE2\x82\xAC\r\n"
              "Unknown,(00:00:00:00:00:02),dtOther,Miscellaneous,01/01/70 at 00:00:01,,0,,SDP,Unknown\r\n");
}

TEST_F(InventoryToolTest, ListAsJsonIsValidUtf8) {
    ASSERT_EQ(Run({"list", AwkwardSession(), "--json"}), 0) << FErr.str();
    const auto devices = nlohmann::json::parse(FOut.str());
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0]["name"], "Ren\xC3\xA9's \"phone\", new\nline");
    EXPECT_EQ(devices[0]["class"], "Cellular Phone");
    EXPECT_EQ(devices[0]["seenCount"], 2);
    EXPECT_EQ(devices[0]["services"], nlohmann::json({"Headset", "Voice \xE2\x82\xAC"}));
    EXPECT_EQ(devices[1]["lastSeen"], "");
}

TEST_F(InventoryToolTest, SdpAndServicesShowOneDevice) {
    const std::string path = AwkwardSession();
    ASSERT_EQ(Run({"services", path, "(00:00:00:00:00:01)"}), 0) << FErr.str();
    EXPECT_EQ(FOut.str(), "Headset\nVoice \xE2\x82\xAC\n");
    ASSERT_EQ(Run({"sdp", path, "(00:00:00:00:00:01)"}), 0) << FErr.str();
    EXPECT_NE(FOut.str().find("Headset"), std::string::npos) << FOut.str();
    EXPECT_NE(FOut.str().find("Voice \xE2\x82\xAC"), std::string::npos) << FOut.str();

    ASSERT_EQ(Run({"sdp", WorkedExamplePath, "(00:0A:3A:54:12:34)"}), 0) << FErr.str();
    EXPECT_EQ(FOut.str(), "ServiceRecordHandle = 65536\n");

    EXPECT_EQ(Run({"sdp", path, "(00:00:00:00:00:02)"}), 1);
    EXPECT_EQ(FOut.str(), "");
    EXPECT_TRUE(FErr.str().starts_with("Unable to enumerate SDP attributes.\n\nError: ")) << FErr.str();

    for (const char* command : {"sdp", "services"}) {
        EXPECT_EQ(Run({command, path, "(00:00:00:00:00:09)"}), 1) << command;
        EXPECT_NE(FErr.str().find("(00:00:00:00:00:09)"), std::string::npos) << FErr.str();
    }
}

TEST_F(InventoryToolTest, WrongUsageExitsWithTwo) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"frobnicate"},
        {"check"},
        {"check", "a", "b"},
        {"rewrite", "a"},
        {"list"},
        {"list", "a", "b"},
        {"list", "a", "--xml"},
        {"sdp", "a"},
        {"services", "a", "b", "c"},
    };
    for (const auto& arguments : wrong) {
        EXPECT_EQ(Run(arguments), 2) << ::testing::PrintToString(arguments);
        EXPECT_NE(FErr.str().find("Usage: orvelle-inventory"), std::string::npos);
    }
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(FOut.str().find("Usage: orvelle-inventory"), std::string::npos);
}

} // namespace
} // namespace orvelle
