#include "results/measurement_names.h"

#include "platform/codepage.h"

namespace kelvo::results {
namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The leading fields of one CSV line; only the last column (the source's Russian name) is
// ever quoted, and it is not needed here.
std::vector<std::string_view> LeadingFields(std::string_view line, std::size_t count) {
    std::vector<std::string_view> fields;
    while (fields.size() < count) {
        const auto comma = line.find(',');
        fields.push_back(line.substr(0, comma));
        if (comma == std::string_view::npos) break;
        line.remove_prefix(comma + 1);
    }
    return fields;
}

std::vector<MeasurementNameRow> ParseRows(std::string_view csv) {
    std::vector<MeasurementNameRow> rows;
    bool heading = true;
    while (!csv.empty()) {
        const auto end = csv.find('\n');
        std::string_view line = csv.substr(0, end);
        csv.remove_prefix(end == std::string_view::npos ? csv.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (heading || line.empty()) {
            heading = false;
            continue;
        }
        const auto fields = LeadingFields(line, 4);
        if (fields.size() < 4) continue;
        MeasurementNameRow row{platform::Utf8ToAnsi(fields[0]), {}, std::string(fields[2]), {}, false};
        if (const std::string_view other = fields[3]; other.starts_with("half:") || other.starts_with("full:")) {
            row.otherName = other.substr(5);
            row.otherIsHalf = other.starts_with("half:");
        }
        std::string_view groups = fields[1];
        while (!groups.empty()) {
            const auto blank = groups.find(' ');
            if (const auto group = groups.substr(0, blank); !group.empty()) row.groups.emplace_back(group);
            groups.remove_prefix(blank == std::string_view::npos ? groups.size() : blank + 1);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace

const std::vector<MeasurementNameRow>& MeasurementNameRows() {
    static const std::vector<MeasurementNameRow> rows = ParseRows(MeasurementNamesCsv());
    return rows;
}

const MeasurementNameRow* KnownMeasurement(std::string_view group, std::string_view number) {
    number = Trimmed(number);
    for (const MeasurementNameRow& row : MeasurementNameRows()) {
        if (row.number != number) continue;
        for (const std::string& g : row.groups)
            if (g == "all" || g == group) return &row;
    }
    return nullptr;
}

std::string_view KnownMeasurementName(std::string_view group, std::string_view number) {
    const MeasurementNameRow* row = KnownMeasurement(group, number);
    return row ? std::string_view(row->name) : std::string_view();
}

}  // namespace kelvo::results
