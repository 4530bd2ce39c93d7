// Every input the table fuzzer started from or ever failed on, run through the same code
// as the fuzzer but without libFuzzer: each must end with the reader's rules kept.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "fuzz/table_input.h"
#include "tests/support/temp_dir.h"

namespace kelvo {
namespace {

std::vector<std::filesystem::path> Inputs(const std::string& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(KELVO_FUZZ_INPUTS) / folder))
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.') files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

void ReplayAll(const std::string& folder) {
    const std::vector<std::filesystem::path> files = Inputs(folder);
    ASSERT_FALSE(files.empty()) << "no inputs in " << folder;
    for (const auto& file : files) {
        test::TempDir dir;
        EXPECT_TRUE(fuzz::RunTableInput(test::ReadFileBytes(file), dir.Path())) << file;
    }
}

TEST(FuzzReplay, SeedCorpus) { ReplayAll("corpus"); }
TEST(FuzzReplay, Regressions) { ReplayAll("regressions"); }

}  // namespace
}  // namespace kelvo
