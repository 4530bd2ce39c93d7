// Every input the table fuzzer started from or ever failed on, run through the same code
// as the fuzzer but without libFuzzer: each must end with the reader's rules kept.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "fuzz/parser_input.h"
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

// Each parser fuzzer's seeds, and whatever it ever failed on, under its own folder.
TEST(FuzzReplay, EveryParsersSeedsAndFindings) {
    using fuzz::Parser;
    for (const Parser parser : {Parser::CsvTable, Parser::SideFile, Parser::Settings, Parser::FeatureList,
                                Parser::Range, Parser::ClientFile, Parser::Survey}) {
        SCOPED_TRACE(fuzz::ParserFolder(parser));
        for (const char* folder : {"corpus", "regressions"}) {
            const std::filesystem::path inputs = std::filesystem::path(KELVO_FUZZ_INPUTS) / folder / fuzz::ParserFolder(parser);
            if (!std::filesystem::is_directory(inputs)) {
                EXPECT_STRNE(folder, "corpus") << "no seeds in " << inputs;
                continue;
            }
            for (const auto& entry : std::filesystem::directory_iterator(inputs)) {
                test::TempDir dir;
                EXPECT_TRUE(fuzz::RunParserInput(parser, test::ReadFileBytes(entry.path()), dir.Path())) << entry.path();
            }
        }
    }
}

}  // namespace
}  // namespace kelvo
