#pragma once
// One input of a parser fuzzer, run through the parser it names and checked against the
// parser's rules: the fuzzers and the replay in the test suite run the same code.

#include <filesystem>
#include <string_view>

namespace kelvo::fuzz {

enum class Parser { CsvTable, SideFile, Settings, FeatureList, Range, ClientFile, Survey };

// The folder of Parser's seeds and findings under fuzz/corpus and fuzz/regressions.
const char* ParserFolder(Parser parser);

// False when a rule broke; `scratch` is a folder of the caller's for files the parser reads.
bool RunParserInput(Parser parser, std::string_view bytes, const std::filesystem::path& scratch);

}  // namespace kelvo::fuzz
