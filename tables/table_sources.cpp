#include "tables/table_sources.h"

#include <cstdlib>
#include <sstream>
#include <vector>

#include "platform/ansi_text.h"
#include "platform/codepage.h"
#include "platform/file.h"

namespace kelvo::tables {
namespace {

constexpr std::string_view kSideFileHeading = "# feature source [column=source ...]; the sources: sources.txt\n";
constexpr std::string_view kSourceList = "sources.txt";

std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    std::istringstream in{std::string(line)};
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// Calls `found` with each code of `codes` ("W, illustrative": "W", then "illustrative") until
// it returns true; true when it did. No list is built: a size chart splits the codes of
// every row of every figure.
template <class Found>
bool AnyCode(std::string_view codes, Found found) {
    while (!codes.empty()) {
        const auto comma = codes.find(", ");
        if (found(codes.substr(0, comma))) return true;
        codes = comma == std::string_view::npos ? std::string_view() : codes.substr(comma + 2);
    }
    return false;
}

bool HoldsCode(std::string_view codes, std::string_view code) {
    return AnyCode(codes, [code](std::string_view held) { return held == code; });
}

// A whole number of digits only; what the side file's numbers must be.
bool Whole(const std::string& text, int& value) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    value = std::atoi(text.c_str());
    return true;
}

// Lines of a UTF-8 text file, without CR, comments and blank lines.
std::vector<std::string_view> ContentLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (!line.empty() && line[0] != '#' && line.find_first_not_of(" \t") != std::string_view::npos)
            lines.push_back(line);
    }
    return lines;
}

std::string Folder(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::string BuildSideFile(const FeatureSources& sources) {
    std::string text(kSideFileHeading);
    for (const auto& [number, source] : sources) {
        text += std::to_string(number) + ' ' + source.code;
        for (const auto& [column, code] : source.columns) text += ' ' + std::to_string(column) + '=' + code;
        text += '\n';
    }
    return text;
}

bool ParseSideFile(std::string_view text, FeatureSources& sources, std::vector<int>* badLines) {
    sources.clear();
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    bool good = true;
    int number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.empty() || line[0] == '#' || line.find_first_not_of(" \t") == std::string_view::npos) continue;
        const std::vector<std::string> words = Words(line);
        int feature = 0;
        FeatureSource source;
        bool read = words.size() >= 2 && Whole(words[0], feature) && words[1].find('=') == std::string::npos;
        if (read) source.code = words[1];
        for (std::size_t i = 2; read && i < words.size(); ++i) {
            const auto eq = words[i].find('=');
            int column = 0;
            read = eq != std::string::npos && eq + 1 < words[i].size() && Whole(words[i].substr(0, eq), column);
            if (read) source.columns[column] = words[i].substr(eq + 1);
        }
        if (read) {
            sources[feature] = std::move(source);
        } else {
            good = false;
            if (badLines) badLines->push_back(number);
        }
    }
    return good;
}

std::string SidePath(const std::string& tablePath) {
    const std::size_t dot = tablePath.size() >= 4 ? tablePath.size() - 4 : std::string::npos;
    if (dot != std::string::npos) {
        std::string extension = tablePath.substr(dot);
        for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        if (extension == ".dbf") return tablePath.substr(0, dot) + ".src";
    }
    return tablePath + ".src";
}

std::string TableSources::CodesOf(int number, std::span<const int> columns) const {
    const auto found = features.find(number);
    if (found == features.end()) return {};
    std::string codes;
    for (const int column : columns) {
        const auto other = found->second.columns.find(column);
        codes = MergeCodes(std::move(codes), other == found->second.columns.end() ? found->second.code : other->second);
    }
    return columns.empty() ? found->second.code : codes;
}

std::string TableSources::Note(std::string_view codes) const {
    static constexpr platform::AnsiText kIllustrativeNote(
        u8"Иллюстративное значение: выведено для правдоподобия, ни из какого стандарта не взято");
    static constexpr platform::AnsiText kSource(u8"Источник ");
    std::string note;
    AnyCode(codes, [&](std::string_view code) {
        if (!note.empty()) note += '\n';
        if (code == kIllustrative) {
            note += kIllustrativeNote.view();
            return false;
        }
        note += kSource.view();
        note += platform::Utf8ToAnsi(code);
        if (const auto citation = citations.find(code); citation != citations.end()) {
            note += ": ";
            note += citation->second;
        }
        return false;
    });
    return note;
}

const RowSource& TableSources::SourceOf(int number, std::span<const int> columns) const {
    auto byColumns = rowSources_.find(columns);
    if (byColumns == rowSources_.end())
        byColumns = rowSources_.emplace(std::vector<int>(columns.begin(), columns.end()), std::map<int, RowSource>()).first;
    auto [found, added] = byColumns->second.try_emplace(number);
    if (added) {
        const std::string codes = CodesOf(number, columns);
        found->second = {platform::Utf8ToAnsi(codes), Note(codes), HasIllustrative(codes)};
    }
    return found->second;
}

bool HasIllustrative(std::string_view codes) {
    return HoldsCode(codes, kIllustrative);
}

std::string MergeCodes(std::string codes, std::string_view more) {
    AnyCode(more, [&codes](std::string_view code) {
        if (!HoldsCode(codes, code)) {
            if (!codes.empty()) codes += ", ";
            codes += code;
        }
        return false;
    });
    return codes;
}

void ReadTableSources(const std::string& linkedPath, TableSources& sources) {
    static constexpr platform::AnsiText kTooLarge(u8"Файл источников слишком велик, источники не показаны: ");
    static constexpr platform::AnsiText kBadLines(u8"В файле источников не разобраны строки ");
    sources = {};
    std::string tablePath;
    if (!platform::ResolvedPath(linkedPath, tablePath)) tablePath = linkedPath;
    const std::string sidePath = SidePath(tablePath);
    platform::InputFile side;
    std::int64_t size = 0;
    if (!side.Open(platform::NativePath(sidePath))) return;
    if (side.Size(size) && size > kMaxSideFileBytes) {
        sources.problem = std::string(kTooLarge.view()) + platform::PathText(sidePath);
        return;
    }
    side.Close();
    std::string text;
    if (!platform::ReadWholeFile(sidePath, text)) return;
    std::vector<int> bad;
    if (!ParseSideFile(text, sources.features, &bad)) {
        sources.problem = std::string(kBadLines.view());
        for (std::size_t i = 0; i < bad.size() && i < 10; ++i) sources.problem += (i ? ", " : "") + std::to_string(bad[i]);
        if (bad.size() > 10) sources.problem += " (" + std::to_string(bad.size()) + ")";
        sources.problem += ": " + platform::PathText(sidePath);
    }
    if (sources.features.empty()) return;
    // The citations only make the notes longer: a missing list leaves the codes alone.
    if (!platform::ReadWholeFile(Folder(tablePath) + std::string(kSourceList), text)) return;
    for (const std::string_view line : ContentLines(text)) {
        const auto tab = line.find('\t');
        if (tab == std::string_view::npos) continue;
        sources.citations[std::string(line.substr(0, tab))] = platform::Utf8ToAnsi(line.substr(tab + 1));
    }
}

}  // namespace kelvo::tables
