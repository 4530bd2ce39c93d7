#include "figures/compute_frame.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "figures/group_registry.h"
#include "platform/decimal.h"
#include "platform/codepage.h"

namespace kelvo::figures {

void FindKeyFeatureRows(const tables::FeatureTable& table, int first, int second, int third,
                        KeyFeatureRows& keys) {
    if (!table.IsOpen()) return;
    keys = {0, 0, 0};
    std::string text;
    for (std::int32_t i = 0; i < table.RecordCount(); ++i) {
        if (!table.ReadField(i, 1, text)) break;
        const int n = ParseFeatureNumber(text);
        if (n == first) keys[0] = i;
        if (n == second) keys[1] = i;
        if (n == third) keys[2] = i;
        if (keys[0] != 0 && keys[1] != 0 && keys[2] != 0) break;
    }
}

int ParseFeatureNumber(const std::string& text) {
    // atoi's own parse, without its undefined behaviour for numbers beyond int.
    const long n = std::strtol(text.c_str(), nullptr, 10);
    if (n > INT_MAX) return INT_MAX;
    if (n < INT_MIN) return INT_MIN;
    return static_cast<int>(n);
}

std::string FormatValue(double value) {
    // Room for the longest double in fixed notation (about 310 digits).
    char buffer[400];
    // to_chars rounds the exact binary value to one decimal, ties to even, as "%0.1f" does,
    // at a fraction of snprintf's cost, which a size chart pays 55,000 times. Infinities and
    // NaNs keep the C library's spelling.
    if (std::isfinite(value)) {
        const auto [end, error] = platform::WriteFixed(buffer, buffer + sizeof buffer, value, 1);
        if (error == std::errc()) return std::string(buffer, end);
    }
    const int n = std::snprintf(buffer, sizeof buffer, "%0.1f", value);
    return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

double StepValue(double heightIncrement, double sizeIncrement, double base, double h, double z) {
    double t = heightIncrement * h;
    t = sizeIncrement * z + t;
    return base + t;
}

bool OpenGroupTable(Workspace& w, FigureGroup group) {
    const GroupEntry& entry = Group(group);
    if (!w.table.Open(w.dataDirectory + std::string(entry.tableFile))) return false;
    FindKeyFeatureRows(w.table, 1, 16, ThirdFeature(entry.third), w.keys);
    tables::ReadTableSources(w.dataDirectory + std::string(entry.tableFile), w.sources);
    return true;
}

void AddNumbers(platform::ComboBox& list, int first, int last, int step) {
    char text[16];
    for (int value = first; value <= last; value += step) {
        std::snprintf(text, sizeof text, "%i", value);
        list.AddString(text);
    }
}

void ClearResults(Workspace& w) {
    w.results.SetSize(0);
    w.resultList.DeleteAllItems();
    w.valueEdit.SetText("");
}

std::string ReadText(const tables::FeatureTable& table, std::int32_t record, int column) {
    std::string text;
    table.ReadField(record, column, text);  // a failed read is empty text and counts as 0
    return text;
}

RecordTexts ReadNumberAndName(const tables::FeatureTable& table, std::int32_t record) {
    RecordTexts texts;
    texts.number = ReadText(table, record, 1);
    texts.name = platform::OemToAnsi(ReadText(table, record, 0));
    return texts;
}

void AppendRow(Workspace& w, RecordTexts&& texts, double value, std::string&& heightIncrement,
               std::string&& sizeIncrement, std::string&& extra) {
    results::ResultRow& row = w.results.Append();
    row.cells[0] = std::move(texts.number);
    row.cells[1] = std::move(texts.name);
    row.cells[2] = FormatValue(value);
    row.cells[3] = std::move(heightIncrement);
    row.cells[4] = std::move(sizeIncrement);
    row.cells[5] = std::move(extra);
}

void FinishCompute(Workspace& w, std::span<const int> columnsRead) {
    if (w.sources.Known()) {
        for (std::int32_t r = 0; r < w.results.GetSize(); ++r) {
            results::ResultRow& row = w.results[r];
            const tables::RowSource& source = w.sources.SourceOf(ParseFeatureNumber(row.cells[0]), columnsRead);
            row.source = source.codes;
            row.sourceNote = source.note;
            row.illustrative = source.illustrative;
        }
    }
    w.computed = true;
    results::ShowRows(w.resultList, w.results);
}

}  // namespace kelvo::figures
