// libFuzzer entry of one parser fuzzer: KELVO_PARSER names the parser at build time.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz/parser_input.h"

namespace {

const std::filesystem::path& Scratch() {
    static const std::filesystem::path* const path = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "kelvo-parser-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        return new std::filesystem::path(pattern);
    }();
    return *path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!kelvo::fuzz::RunParserInput(kelvo::fuzz::Parser::KELVO_PARSER, bytes, Scratch())) std::abort();
    return 0;
}
