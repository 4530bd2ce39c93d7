#include "tests/support/fixture_tables.h"

#include "platform/codepage.h"

namespace kelvo::test {

tables::TableContents FeatureTableSpec(int columns, const std::vector<std::vector<std::string>>& records) {
    tables::TableContents contents;
    contents.fields.push_back({"NAME", 'C', 40, 0});
    for (int c = 1; c < columns; ++c) contents.fields.push_back({"F" + std::to_string(c), 'N', 8, 1});
    for (const auto& record : records) {
        std::vector<std::string> cells = record;
        if (!cells.empty()) cells[0] = platform::Utf8ToOem(cells[0]);
        contents.records.push_back(std::move(cells));
    }
    return contents;
}

void WriteGroupTable(const std::filesystem::path& dataDirectory, const std::string& file,
                     const tables::TableContents& contents) {
    std::filesystem::create_directories(dataDirectory / "BD");
    tables::WriteTable((dataDirectory / "BD" / file).string(), contents);
}

namespace {

// A record of `columns` cells: name, number, then `values` from column 2 on.
std::vector<std::string> Record(int columns, const std::string& name, const std::string& number,
                                const std::vector<std::pair<int, std::string>>& values) {
    std::vector<std::string> cells(static_cast<std::size_t>(columns));
    cells[0] = name;
    cells[1] = number;
    for (const auto& [column, value] : values) cells[static_cast<std::size_t>(column)] = value;
    return cells;
}

}  // namespace

tables::TableContents NurseryTable() {
    return FeatureTableSpec(5, {
        Record(5, "Рост", "1", {{2, "6.0"}, {3, "0.0"}, {4, "80"}}),
        Record(5, "Обхват груди", "16", {{2, "0.0"}, {3, "4.0"}, {4, "52"}}),
        Record(5, "Обхват шеи", "2", {{2, "0.6"}, {3, "1.4"}, {4, "30.5"}}),
        Record(5, "Обхват талии", "18", {{2, "0.0"}, {3, "4.0"}, {4, "50"}}),
    });
}

tables::TableContents ChildTable() {
    // Per age group: height, chest, waist increment and base columns (2-4-4, 5-8, 9-12, 13-16).
    return FeatureTableSpec(17, {
        Record(17, "Рост", "1", {{2, "6.0"}, {4, "98"}, {5, "6.0"}, {8, "128"}, {9, "6.0"}, {12, "152"},
                                 {13, "6.0"}, {16, "170"}}),
        Record(17, "Обхват груди", "16", {{3, "4.0"}, {4, "52"}, {6, "4.0"}, {8, "60"}, {10, "4.0"},
                                          {12, "80"}, {14, "4.0"}, {16, "92"}}),
        Record(17, "Обхват шеи", "2", {{2, "0.5"}, {3, "0.7"}, {4, "25.0"}, {5, "1.2"}, {6, "0.8"},
                                       {7, "0.4"}, {8, "50.0"}, {9, "0.3"}, {10, "0.9"}, {11, "0.2"},
                                       {12, "60.0"}, {13, "0.1"}, {14, "1.0"}, {15, "0.5"}, {16, "70.0"}}),
        Record(17, "Обхват талии", "18", {{4, "48"}, {7, "3.0"}, {8, "54"}, {11, "3.0"}, {12, "66"},
                                          {15, "3.0"}, {16, "72"}}),
    });
}

tables::TableContents MenTable() {
    std::vector<std::pair<int, std::string>> height{{2, "6.0"}}, size{{3, "0.0"}, {4, "0.0"}},
        feature{{2, "0.8"}, {3, "1.1"}, {4, "1.3"}}, waist{{3, "2.0"}, {4, "2.0"}};
    for (int b = 5; b <= 9; ++b) {
        height.emplace_back(b, "176");
        size.emplace_back(b, "50");
        feature.emplace_back(b, std::to_string(45 + b - 5) + ".2");
        waist.emplace_back(b, std::to_string(82 + 6 * (b - 5)));
    }
    return FeatureTableSpec(15, {
        Record(15, "Рост", "1", height),
        Record(15, "Обхват груди", "16", size),
        Record(15, "Обхват шеи", "2", feature),
        Record(15, "Обхват талии", "18", waist),
    });
}

tables::TableContents WomenTable() {
    // Feature 16 holds the size (half the girth), which grows by 2 per size step; the hip
    // of position p is the base chest girth 96 + 4p and grows with the chest.
    std::vector<std::pair<int, std::string>> height{{2, "6.0"}}, size{{3, "2.0"}, {4, "2.0"}, {5, "2.0"}},
        feature{{2, "0.6"}, {3, "1.2"}, {4, "1.4"}, {5, "1.6"}}, hip{{3, "4.0"}, {4, "4.0"}, {5, "4.0"}};
    for (int b = 6; b <= 17; ++b) {
        height.emplace_back(b, "164");
        size.emplace_back(b, "48");
        hip.emplace_back(b, std::to_string(100 + 4 * ((b - 6) % 4)));
    }
    // Feature 2: 40.0, 42.0, 45.0, 49.0 in band 0; the other bands 10 and 20 more.
    const char* values[12] = {"40.0", "42.0", "45.0", "49.0", "50.0", "52.0",
                              "55.0", "59.0", "60.0", "62.0", "65.0", "69.0"};
    for (int b = 6; b <= 17; ++b) feature.emplace_back(b, values[b - 6]);
    return FeatureTableSpec(18, {
        Record(18, "Рост", "1", height),
        Record(18, "Обхват груди", "16", size),
        Record(18, "Обхват шеи", "2", feature),
        Record(18, "Обхват бедер", "19", hip),
    });
}

void WriteAllGroupTables(const std::filesystem::path& dataDirectory) {
    WriteGroupTable(dataDirectory, "yasly.dbf", NurseryTable());
    WriteGroupTable(dataDirectory, "girls.dbf", ChildTable());
    WriteGroupTable(dataDirectory, "boys.dbf", ChildTable());
    WriteGroupTable(dataDirectory, "male.dbf", MenTable());
    WriteGroupTable(dataDirectory, "female.dbf", WomenTable());
}

}  // namespace kelvo::test
