#include "fuzz/parser_input.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "figures/client_measurements.h"
#include "figures/group_registry.h"
#include "figures/nearest_figure.h"
#include "figures/size_chart_walk.h"
#include "figures/survey.h"
#include "figures/table_check.h"
#include "platform/registry.h"
#include "tables/table_source.h"
#include "tables/table_sources.h"
#include "tables/table_writer.h"

namespace kelvo::fuzz {
namespace {

// A source make-table accepts becomes a table whose dump reads back to the same records.
bool CsvTable(std::string_view bytes) {
    for (const figures::GroupEntry& group : figures::Groups()) {
        tables::TableSource source;
        std::vector<tables::TableFault> faults;
        tables::ReadTableSource(std::string(bytes), figures::TableColumns(group.group), source, faults);
        for (const tables::TableFault& fault : faults) {
            const std::string message = tables::FaultMessage("f.csv", source, fault);
            // Messages are quoted short, with no control character to reach a terminal.
            if (message.size() > 4000 || message.find('\0') != std::string::npos || message.find('\x1B') != std::string::npos)
                return false;
        }
        if (!faults.empty()) continue;
        for (const auto& record : source.contents.records)
            for (const char c : record[0])
                if (static_cast<unsigned char>(c) < 0x20) return false;
    }
    return true;
}

// What is read is what is written again: the kept lines parse back to the same sources.
bool SideFile(std::string_view bytes) {
    tables::FeatureSources sources;
    std::vector<int> bad;
    const bool good = tables::ParseSideFile(bytes, sources, &bad);
    if (good != bad.empty()) return false;
    tables::FeatureSources again;
    return tables::ParseSideFile(tables::BuildSideFile(sources), again) && again == sources;
}

// The settings file as another program left it: a value written is the value read, and
// the lines of other sections stay.
bool Settings(std::string_view bytes, const std::filesystem::path& scratch) {
    const std::filesystem::path folder = scratch / "config" / "kelvo-fuzz";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "kelvo-fuzz.conf", std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ::setenv("XDG_CONFIG_HOME", (scratch / "config").c_str(), 1);
    std::string value;
    platform::ReadUserString("kelvo-fuzz", "DataFolder", value);
    const std::string written = "/tmp/Мои; таблицы = \"2024\" \\ 100%";
    if (!platform::WriteUserString("kelvo-fuzz", "DataFolder", written)) return true;  // not writable: nothing to compare
    return platform::ReadUserString("kelvo-fuzz", "DataFolder", value) && value == written;
}

bool FeatureList(std::string_view bytes) {
    std::vector<figures::Measurement> features;
    std::string message;
    if (!figures::ParseFeatureList(bytes, features, message)) return !message.empty();
    for (const figures::Measurement& m : features)
        if (m.feature <= 0 || !std::isfinite(m.value)) return false;
    return true;
}

// A range accepted holds list numbers only: whole, from 0 to 9999, written in digits.
bool Range(std::string_view bytes) {
    figures::ListSpan span{};
    if (!figures::ParseListSpan(bytes, span)) return true;
    for (const double bound : {span.from, span.to})
        if (bound != std::floor(bound) || bound < 0 || bound > 9999) return false;
    return bytes.find_first_not_of("0123456789- ") == std::string_view::npos;
}

bool ClientFile(std::string_view bytes) {
    for (const figures::GroupEntry& group : figures::Groups()) {
        figures::ClientMeasurements read;
        std::string message;
        if (!figures::ReadClientMeasurements(bytes, group, read, message)) continue;
        for (const std::optional<double>& v : {read.person.height, read.person.chest, read.person.third})
            if (v && !std::isfinite(*v)) return false;
        for (const figures::Measurement& m : read.person.features)
            if (!std::isfinite(m.value)) return false;
    }
    return true;
}

// The survey's header, then every further line as a person: no line breaks a rule of the
// values read (finite, positive) whatever its cells hold.
bool Survey(std::string_view bytes) {
    const std::size_t end = bytes.find('\n');
    const std::string_view header = bytes.substr(0, end);
    std::string_view rest = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    for (const figures::GroupEntry& group : figures::Groups()) {
        figures::SurveyLayout layout;
        std::string message;
        bool named = false;
        if (!layout.Read(header, group, {}, figures::SurveyUnit::Mm, true, message, named)) continue;
        std::string_view lines = rest;
        while (!lines.empty()) {
            const std::size_t stop = lines.find('\n');
            const std::string_view line = lines.substr(0, stop);
            lines = stop == std::string_view::npos ? std::string_view() : lines.substr(stop + 1);
            std::optional<double> leading[3];
            std::vector<std::optional<double>> features;
            int age = 0, column = 0;
            std::string why;
            if (!layout.Person(line, leading, features, age, column, why)) {
                if (column <= 0 || why.empty()) return false;
                continue;
            }
            for (const auto& v : leading)
                if (v && (!std::isfinite(*v) || *v <= 0)) return false;
            if (age < figures::kAnyAge || age > 3) return false;
        }
    }
    return true;
}

}  // namespace

const char* ParserFolder(Parser parser) {
    switch (parser) {
        case Parser::CsvTable: return "csv-table";
        case Parser::SideFile: return "side-file";
        case Parser::Settings: return "settings";
        case Parser::FeatureList: return "feature-list";
        case Parser::Range: return "range";
        case Parser::ClientFile: return "client-file";
        case Parser::Survey: return "survey";
    }
    return "";
}

bool RunParserInput(Parser parser, std::string_view bytes, const std::filesystem::path& scratch) {
    switch (parser) {
        case Parser::CsvTable: return CsvTable(bytes);
        case Parser::SideFile: return SideFile(bytes);
        case Parser::Settings: return Settings(bytes, scratch);
        case Parser::FeatureList: return FeatureList(bytes);
        case Parser::Range: return Range(bytes);
        case Parser::ClientFile: return ClientFile(bytes);
        case Parser::Survey: return Survey(bytes);
    }
    return false;
}

}  // namespace kelvo::fuzz
