// kelvo-cli: the window's logic without a window. It acts as a user at the window (chooses
// the group, age group, height, chest and waist or hip girth, presses the export button)
// on the headless front end and prints the result list as the window shows it. With --chart
// it writes the group's size chart instead: every figure the lists offer, as CSV.

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "app/figure_dialog.h"
#include "platform/file.h"
#include "platform/headless/headless_window.h"
#include "res/resource.h"
#include "figures/size_chart_walk.h"
#include "res/version.h"

namespace {

using kelvo::platform::AnsiToUtf8;
using kelvo::platform::Utf8ToAnsi;
using kelvo::platform::headless::HeadlessWindow;
namespace res = kelvo::res;

constexpr const char* kUsage =
    "Использование: kelvo-cli [--data DIR] [--group G] [--age A] [--height N] [--chest N]\n"
    "                 [--waist N | --hip N] [--format tsv|csv|table] [--export]\n"
    "       kelvo-cli [--data DIR] [--group G] [--age A] --chart FILE [--chart-format excel|rfc4180]\n"
    "  --data DIR     папка данных (с подпапкой BD); без неё — как у окна\n"
    "  --group G      группа: 0-4 или название (Ясельная, Девочки, Мальчики, Женщины, Мужчины)\n"
    "  --age A        возрастная группа девочек и мальчиков: 0-3 или название\n"
    "  --height N     рост T1, --chest N обхват груди T16\n"
    "  --waist N      обхват талии T18 (девочки, мальчики, мужчины)\n"
    "  --hip N        обхват бедер T19 (женщины)\n"
    "  --format F     tsv (по умолчанию вне терминала), csv или table\n"
    "  --export       записать table.txt в папку данных, как кнопка «Записать значение в файл»\n"
    "  --chart FILE   записать таблицу размеров группы (все типовые фигуры) в FILE как CSV\n"
    "  --chart-format excel (по умолчанию: «;» и десятичная запятая) или rfc4180 («,» и точка)\n"
    "  --help, --version\n";

struct Options {
    std::optional<std::string> data, group, age, height, chest, waist, hip, chart, chartFormat;
    std::string format;
    bool exportTable = false;
};

int UsageError(const std::string& message) {
    std::cerr << "kelvo-cli: " << message << "\n" << kUsage;
    return 2;
}

int Fail(int code, const std::string& message) {
    std::cerr << "kelvo-cli: " << message << "\n";
    return code;
}

// Parses "--name value" and "--name=value"; false with a message for anything else.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
    struct Valued {
        const char* name;
        std::optional<std::string> Options::*field;
    };
    const Valued valued[] = {{"--data", &Options::data},     {"--group", &Options::group},
                             {"--age", &Options::age},       {"--height", &Options::height},
                             {"--chest", &Options::chest},   {"--waist", &Options::waist},
                             {"--hip", &Options::hip},       {"--chart", &Options::chart},
                             {"--chart-format", &Options::chartFormat}};
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string::npos) {
            inlineValue = arg.substr(eq + 1);
            arg.resize(eq);
        }
        if (arg == "--export" && !inlineValue) {
            options.exportTable = true;
            continue;
        }
        const auto takeValue = [&](std::string& into) {
            if (inlineValue) into = *inlineValue;
            else if (i + 1 < argc) into = argv[++i];
            else return false;
            return true;
        };
        if (arg == "--format") {
            if (!takeValue(options.format)) return error = "у --format нет значения", false;
            if (options.format != "tsv" && options.format != "csv" && options.format != "table")
                return error = "неизвестный формат «" + options.format + "»", false;
            continue;
        }
        bool known = false;
        for (const Valued& v : valued) {
            if (arg != v.name) continue;
            std::string value;
            if (!takeValue(value)) return error = std::string("у ") + v.name + " нет значения", false;
            options.*(v.field) = value;
            known = true;
        }
        if (!known) return error = "неизвестный параметр «" + arg + "»", false;
    }
    if (options.waist && options.hip) return error = "--waist и --hip вместе не бывают", false;
    if (options.chartFormat && *options.chartFormat != "excel" && *options.chartFormat != "rfc4180")
        return error = "неизвестный формат таблицы размеров «" + *options.chartFormat + "»", false;
    if (options.chartFormat && !options.chart) return error = "--chart-format только с --chart", false;
    // The chart holds every figure: options that choose one or print one do not apply.
    if (options.chart && (options.height || options.chest || options.waist || options.hip ||
                          options.exportTable || !options.format.empty()))
        return error = "--chart не сочетается с --height, --chest, --waist, --hip, --export и --format", false;
    return true;
}

// An entry chosen by its number or its caption (the caption given in UTF-8).
std::optional<int> EntryIndex(const std::string& value, const std::vector<std::string>& captions) {
    if (value.size() == 1 && value[0] >= '0' && value[0] < '0' + static_cast<int>(captions.size()))
        return value[0] - '0';
    const std::string ansi = Utf8ToAnsi(value);
    for (std::size_t i = 0; i < captions.size(); ++i)
        if (captions[i] == ansi) return static_cast<int>(i);
    return std::nullopt;
}

std::string Offered(const std::vector<std::string>& entries) {
    std::string text;
    for (const auto& entry : entries) text += (text.empty() ? "" : ", ") + AnsiToUtf8(entry);
    return text.empty() ? "(список пуст)" : text;
}

// Cells as one line may hold them: a tab, CR or LF inside a cell becomes a blank.
std::string Flat(std::string cell) {
    for (char& c : cell)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return cell;
}

std::string CsvField(const std::string& cell) {
    if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string quoted = "\"";
    for (const char c : cell) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::size_t Width(const std::string& utf8) {
    std::size_t n = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

void Print(const std::string& format, const std::vector<std::vector<std::string>>& lines) {
    if (format == "csv") {
        for (const auto& line : lines) {
            for (std::size_t c = 0; c < line.size(); ++c) std::cout << (c ? "," : "") << CsvField(line[c]);
            std::cout << "\r\n";
        }
        return;
    }
    if (format == "tsv") {
        for (const auto& line : lines) {
            for (std::size_t c = 0; c < line.size(); ++c) std::cout << (c ? "\t" : "") << Flat(line[c]);
            std::cout << '\n';
        }
        return;
    }
    std::vector<std::size_t> widths(5, 0);
    for (const auto& line : lines)
        for (std::size_t c = 0; c < line.size(); ++c) widths[c] = std::max(widths[c], Width(Flat(line[c])));
    for (const auto& line : lines) {
        std::string text;
        for (std::size_t c = 0; c < line.size(); ++c) {
            const std::string cell = Flat(line[c]);
            text += cell;
            if (c + 1 < line.size()) text += std::string(widths[c] - Width(cell) + 2, ' ');
        }
        std::cout << text << '\n';
    }
}

const char* kTableFiles[] = {"\\BD\\yasly.dbf", "\\BD\\girls.dbf", "\\BD\\boys.dbf", "\\BD\\female.dbf",
                             "\\BD\\male.dbf"};

// Writes the size chart of `group` (girls and boys: of age group `age`) to `file`, given in
// UTF-8; the exit code.
int WriteChart(const std::string& dataDirectory, int group, int age, const std::string& file,
               kelvo::results::CsvDialect dialect) {
    // Paths go through the program as Windows-1251 with '\' as the separator: a name that
    // does not survive that would be written under another name.
    const std::string path = Utf8ToAnsi(file);
    if (AnsiToUtf8(path) != file || path.find('\\') != std::string::npos)
        return UsageError("имя файла «" + file + "» не передать: в нём «\\» или знаки вне Windows-1251");
    const bool showProgress = ::isatty(STDERR_FILENO);
    kelvo::results::SizeChart chart;
    const bool built = kelvo::figures::BuildSizeChart(
        dataDirectory, static_cast<kelvo::figures::FigureGroup>(group), age, chart, [&](int done, int total) {
            if (!showProgress) return;
            std::cerr << "\rkelvo-cli: таблица размеров, рост " << done << " из " << total << std::flush;
            if (done == total) std::cerr << '\n';
        });
    if (!built)
        return Fail(1, "не удалось составить таблицу размеров из " +
                           kelvo::platform::NativePath(dataDirectory + kTableFiles[group]));
    std::string message;
    if (!kelvo::results::WriteSizeChart(path, chart, dialect, message)) return Fail(1, AnsiToUtf8(message));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::cout << kUsage;
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::cout << "kelvo-cli " << res::kVersion[0] << '.' << res::kVersion[1] << '.' << res::kVersion[2]
                      << '.' << res::kVersion[3] << '\n';
            return 0;
        }
    }
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) return UsageError(error);
    if (options.format.empty()) options.format = ::isatty(STDOUT_FILENO) ? "table" : "tsv";

    kelvo::app::FigureDialog dialog;
    if (options.data) dialog.SetDataDirectory(Utf8ToAnsi(*options.data));

    // The group's captions come from the window's own list.
    std::vector<std::string> groups;
    int group = 3;
    {
        kelvo::app::FigureDialog probe;
        probe.SetInitialGroup(-1);
        probe.SetDataDirectory("");
        HeadlessWindow window(probe);
        groups = window.Entries(res::kIdGroupList);
    }
    if (options.group) {
        const auto index = EntryIndex(*options.group, groups);
        if (!index) return Fail(2, "в списке «Группа» нет «" + *options.group + "»; есть: 0-4, " + Offered(groups));
        group = *index;
    }
    const bool child = group == 1 || group == 2;
    if (options.age && !child) return UsageError("--age только для девочек и мальчиков");
    if (options.waist && (group == 0 || group == 3)) return UsageError("--waist не для этой группы");
    if (options.hip && group != 3) return UsageError("--hip только для женщин");

    dialog.SetInitialGroup(group);
    HeadlessWindow window(dialog);
    if (!dialog.Table().IsOpen())
        return Fail(1, "не удалось открыть таблицу признаков " +
                           kelvo::platform::NativePath(dialog.DataDirectory() + kTableFiles[group]));

    const auto choose = [&](int id, const std::string& list, const std::string& value) {
        const auto entries = window.Entries(id);
        if (id == res::kIdAgeList) {
            const auto index = EntryIndex(value, entries);
            if (index && window.Choose(id, *index)) return true;
        } else if (window.ChooseText(id, Utf8ToAnsi(value))) {
            return true;
        }
        error = "в списке «" + list + "» нет значения «" + value + "»; есть: " + Offered(entries);
        return false;
    };
    if (options.age && !choose(res::kIdAgeList, "Возрастная группа", *options.age)) return Fail(2, error);
    if (options.height && !choose(res::kIdHeightList, "T1", *options.height)) return Fail(2, error);
    if (options.chest && !choose(res::kIdChestList, "T16", *options.chest)) return Fail(2, error);
    if (options.waist && !choose(res::kIdThirdList, "T18", *options.waist)) return Fail(2, error);
    if (options.hip && !choose(res::kIdThirdList, "T19", *options.hip)) return Fail(2, error);

    if (options.chart) {
        const auto dialect = options.chartFormat == "rfc4180" ? kelvo::results::CsvDialect::Rfc4180
                                                              : kelvo::results::CsvDialect::Spreadsheet;
        return WriteChart(dialog.DataDirectory(), group, window.Selection(res::kIdAgeList), *options.chart, dialect);
    }

    if (options.exportTable) {
        window.Press(res::kIdWriteTable);
        if (!window.messages.empty()) return Fail(1, AnsiToUtf8(window.messages.back()));
    }

    std::vector<std::vector<std::string>> lines;
    const auto& columns = window.List(res::kIdResultList).Columns();
    lines.emplace_back();
    for (const auto& column : columns) lines.back().push_back(AnsiToUtf8(column.caption));
    for (int item = 0; item < window.ItemCount(res::kIdResultList); ++item) {
        lines.emplace_back();
        for (std::size_t c = 0; c < columns.size(); ++c)
            lines.back().push_back(AnsiToUtf8(window.ItemText(res::kIdResultList, item, static_cast<int>(c))));
    }
    Print(options.format, lines);
    return 0;
}
