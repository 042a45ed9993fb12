// The fuzz target's seed records are the sample records as orvelle-sdp-samples writes them: a change
// to the samples must be followed by writing the seeds again.
#include "bluetooth/sdp/SampleRecords.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace orvelle {
namespace {

TEST(SeedCorpus, MatchesTheSampleRecords) {
    // The data directory's path is taken apart lexically: the directory itself need not exist.
    const std::filesystem::path root =
        std::filesystem::path(ORVELLE_TEST_DATA_DIR).parent_path().parent_path().parent_path();
    const std::filesystem::path directory = root / "fuzz" / "corpus" / "sdp_record";
    for (const auto& sample : SampleRecords()) {
        std::ifstream file(directory / sample.Name, std::ios::binary);
        ASSERT_TRUE(file) << "missing seed " << sample.Name;
        const std::string seed{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        EXPECT_EQ(seed, sample.Bytes) << sample.Name << ": run orvelle-sdp-samples fuzz/corpus/sdp_record";
    }
}

} // namespace
} // namespace orvelle
