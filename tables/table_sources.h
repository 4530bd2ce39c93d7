#pragma once
// Where each feature's values come from: the side file beside a feature table
// ("BD\female.dbf" has "BD\female.src") and the list of sources with their citations
// ("BD\sources.txt"). A table without a side file has no known sources.

#include <algorithm>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo::tables {

// The code of values derived to be plausible, not taken from any standard.
inline constexpr std::string_view kIllustrative = "illustrative";

// A feature's source, and the columns whose values come from another one.
struct FeatureSource {
    std::string code;
    std::map<int, std::string> columns;  // column index -> code

    bool operator==(const FeatureSource&) const = default;
};

using FeatureSources = std::map<int, FeatureSource>;  // by feature number

// The side file: a comment line, then one line per feature, "NUMBER CODE", followed by
// "COLUMN=CODE" for each column (counted from 0, as the reader counts) of another source.
// A UTF-8 byte-order mark (as Notepad saves) is taken; a line not in the format is left out
// and its number (from 1) put in `badLines`, the other lines kept. True when none is bad.
std::string BuildSideFile(const FeatureSources& sources);
bool ParseSideFile(std::string_view text, FeatureSources& sources, std::vector<int>* badLines = nullptr);

// The largest side file read: a hundred times what a table of the record limit needs.
inline constexpr std::int64_t kMaxSideFileBytes = 64ll << 20;

// "...\BD\female.dbf" -> "...\BD\female.src"; any other name gets ".src" appended.
std::string SidePath(const std::string& tablePath);

// What a row computed from some columns of a feature shows of its sources.
struct RowSource {
    std::string codes;  // CodesOf, Windows-1251
    std::string note;   // Note of the codes
    bool illustrative = false;
};

struct TableSources {
    FeatureSources features;
    std::map<std::string, std::string, std::less<>> citations;  // code -> citation, Windows-1251
    std::string problem;  // what was wrong with the side file, for the user (Windows-1251); empty if nothing

    bool Known() const { return !features.empty(); }
    // The codes of the cells `columns` of feature `number` reads, each once, ", " between;
    // empty for a feature the side file does not list.
    std::string CodesOf(int number, std::span<const int> columns) const;
    // What the window says of `codes` when the pointer rests on a row, Windows-1251.
    std::string Note(std::string_view codes) const;
    // The row's sources for feature `number` computed from `columns`, worked out once for each
    // and remembered, as a size chart asks the same for every figure: features and citations
    // are not to change once it has been asked (ReadTableSources starts afresh).
    const RowSource& SourceOf(int number, std::span<const int> columns) const;

private:
    struct ColumnsLess {
        using is_transparent = void;
        template <class A, class B>
        bool operator()(const A& a, const B& b) const {
            return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
        }
    };
    mutable std::map<std::vector<int>, std::map<int, RowSource>, ColumnsLess> rowSources_;
};

// True when `codes` (as CodesOf gives them) name the illustrative values.
bool HasIllustrative(std::string_view codes);
// `codes` with the codes of `more` it lacks appended.
std::string MergeCodes(std::string codes, std::string_view more);

// Reads the side file beside the file the table at `tablePath` (a path built the Windows way,
// perhaps a link) is, and the sources list in its folder. A missing or unreadable side file
// leaves `sources` empty; one too large to be a side file too, and its bad lines are left
// out, each said in `problem`.
void ReadTableSources(const std::string& tablePath, TableSources& sources);

}  // namespace kelvo::tables
