// kelvo-cli: the window's logic without a window. It acts as a user at the window (chooses
// the group, age group, height, chest and waist or hip girth, presses the export button)
// on the headless front end and prints the result list as the window shows it. With --chart
// it writes the group's size chart instead: every figure the lists offer, as CSV. With
// --make-table it turns a designer's CSV into a feature table, checked against the group's
// grid, and with --dump-table it writes a table back as such a CSV. With --nearest it takes
// the options as a person's measurements and prints the typical figures nearest to them, or
// with --select the list of the nearest one. With --pdf it writes the figure's measurement
// sheet, or with --chart-pages the size chart, on A4 pages as PDF; --heights, --chests and
// --thirds limit a chart to a range.
//
// main reads the options, chooses the figure in the window and prints: each step is a
// function of its own, and every byte written to stdout is checked.

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <new>
#include <optional>
#include <charconv>
#include <set>
#include <string>
#include <vector>

#include "app/figure_dialog.h"
#include "figures/group_registry.h"
#include "figures/client_measurements.h"
#include "figures/nearest_figure.h"
#include "figures/size_chart_walk.h"
#include "figures/table_check.h"
#include "platform/ansi_text.h"
#include "platform/codepage.h"
#include "platform/file.h"
#include "platform/headless/headless_window.h"
#include "platform/page_canvas.h"
#include "programs/cli_pdf.h"
#include "res/resource.h"
#include "res/version.h"
#include "results/export.h"
#include "results/list_text.h"
#include "tables/feature_table.h"
#include "tables/table_source.h"
#include "results/measurement_files.h"
#include "results/match_text.h"
#include "results/print_pages.h"

namespace {

using kelvo::platform::AnsiToUtf8;
using kelvo::platform::Utf8ToAnsi;
using kelvo::platform::headless::HeadlessWindow;
namespace figures = kelvo::figures;
namespace res = kelvo::res;
namespace results = kelvo::results;
namespace tables = kelvo::tables;

constexpr const char* kOptionsAfterGroup =
    "  --age A        возрастная группа девочек и мальчиков: 0-3 или название\n"
    "  --height N     рост T1, --chest N обхват груди T16\n"
    "  --waist N      обхват талии T18 (девочки, мальчики, мужчины)\n"
    "  --hip N        обхват бедер T19 (женщины)\n"
    "  --format F     tsv (по умолчанию вне терминала), csv или table; или мерки для САПР:\n"
    "                 vit (индивидуальные), vst (по размерам и ростам вокруг фигуры), json\n"
    "  --output FILE  записать вывод в FILE, а не в стандартный вывод\n"
    "  --export       записать table.txt в папку данных, как кнопка «Записать значение в файл»\n"
    "  --chart FILE   записать таблицу размеров группы (все типовые фигуры) в FILE как CSV\n"
    "  --chart-format excel (по умолчанию: «;» и десятичная запятая) или rfc4180 («,» и точка)\n"
    "  --sources      столбец «Источник» в tsv, csv и таблице размеров\n"
    "  --pdf FILE     записать лист измерений выбранной фигуры в FILE как PDF (A4)\n"
    "  --chart-pages  с --pdf: таблицу размеров группы на страницах A4, а не лист измерений\n"
    "  --heights A-B, --chests A-B, --thirds A-B  только фигуры с ростом, обхватом груди и\n"
    "                 третьим обхватом (T18/T19) от A до B (с --chart и --chart-pages)\n"
    "  --make-table G ИСХОДНИК.csv ТАБЛИЦА.dbf  таблица признаков группы G из CSV по шаблону, с проверкой\n"
    "  --dump-table ТАБЛИЦА.dbf ИСХОДНИК.csv    таблица признаков обратно в CSV по шаблону\n"
    "  --nearest      подобрать три ближайшие типовые фигуры: --height, --chest, --waist, --hip —\n"
    "                 мерки человека (любые числа, хотя бы одна), --age — группа или any (любая,\n"
    "                 по умолчанию), --feature N=V — ещё признак N со значением V (можно повторять),\n"
    "                 --measurements FILE.vit — мерки клиента из файла индивидуальных мерок (мм, см\n"
    "                 или дюймы; 0 — не измерено); заданные параметрами важнее\n"
    "  --select       с --nearest: вывести список ближайшей фигуры, как без --nearest\n"
    "  -h, --help, --version\n";

// "0-4, Ясельная nursery, Девочки girls, ...": every way to name a group, from the registry.
std::string GroupNames() {
    std::string text = "0-" + std::to_string(figures::kGroupCount - 1);
    for (const figures::GroupEntry& group : figures::Groups())
        text += ", " + AnsiToUtf8(group.caption) + " " + std::string(group.englishName);
    return text;
}

std::string Usage() {
    return "Использование: kelvo-cli [--data DIR] [--group G] [--age A] [--height N] [--chest N]\n"
           "                 [--waist N | --hip N] [--format tsv|csv|table|vit|vst|json] [--output FILE]\n"
           "                 [--export] [--sources]\n"
           "       kelvo-cli [--data DIR] [--group G] [--age A] --chart FILE [--chart-format excel|rfc4180]\n"
           "                 [--sources] [--heights A-B] [--chests A-B] [--thirds A-B]\n"
           "       kelvo-cli [--data DIR] [--group G] [--age A] [--height N] [--chest N] [--waist N | --hip N]\n"
           "                 --pdf FILE\n"
           "       kelvo-cli [--data DIR] [--group G] [--age A] --pdf FILE --chart-pages\n"
           "                 [--heights A-B] [--chests A-B] [--thirds A-B]\n"
           "       kelvo-cli --make-table G ИСХОДНИК.csv ТАБЛИЦА.dbf | --dump-table ТАБЛИЦА.dbf ИСХОДНИК.csv\n"
           "       kelvo-cli [--data DIR] [--group G] [--age A|any] --nearest [--height N] [--chest N]\n"
           "                 [--waist N | --hip N] [--feature N=V]... [--measurements FILE.vit]\n"
           "                 [--select [--export]] [--format F]\n"
           "  --data DIR     папка данных (с подпапкой BD); без неё — как у окна\n"
           "  --group G      группа, номером или названием по-русски или по-английски, в любом регистре:\n"
           "                 " + GroupNames() + "\n" + kOptionsAfterGroup;
}

struct Options {
    std::optional<std::string> data, group, age, height, chest, waist, hip, chart, chartFormat, output;
    std::optional<std::string> pdf, heights, chests, thirds, measurements;
    bool chartPages = false;
    std::string format;
    std::vector<std::string> features;  // --feature, each "N=V"
    bool exportTable = false;
    bool sources = false;
    bool nearest = false, select = false;
    bool help = false, version = false;
};

int Fail(int code, const std::string& message) {
    std::fprintf(stderr, "kelvo-cli: %s\n", message.c_str());
    return code;
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "kelvo-cli: %s\n%s", message.c_str(), Usage().c_str());
    return 2;
}

// Writes `text` to stdout and flushes it: output lost to a full disk or a closed pipe is a
// failure, never an exit 0 that a script would take for success.
int Emit(const std::string& text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (written && std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    return Fail(1, std::string("вывод не записан: ") + std::strerror(errno));
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
                             {"--chart-format", &Options::chartFormat}, {"--output", &Options::output},
                             {"--pdf", &Options::pdf},       {"--heights", &Options::heights},
                             {"--chests", &Options::chests}, {"--thirds", &Options::thirds},
                             {"--measurements", &Options::measurements}};
    struct Flag {
        const char* name;
        bool Options::*field;
    };
    const Flag flags[] = {{"--export", &Options::exportTable},
                          {"--sources", &Options::sources},
                          {"--nearest", &Options::nearest},
                          {"--select", &Options::select},
                          {"--chart-pages", &Options::chartPages},
                          {"--help", &Options::help},
                          {"-h", &Options::help},
                          {"--version", &Options::version}};
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string::npos) {
            inlineValue = arg.substr(eq + 1);
            arg.resize(eq);
        }
        bool known = false;
        for (const Flag& flag : flags) {
            if (arg != flag.name || inlineValue) continue;
            options.*(flag.field) = true;
            known = true;
        }
        if (known) continue;
        const auto takeValue = [&](std::string& into) {
            if (inlineValue) into = *inlineValue;
            else if (i + 1 < argc) into = argv[++i];
            else return false;
            return true;
        };
        if (arg == "--format") {
            if (!takeValue(options.format)) return error = "у --format нет значения", false;
            if (!std::set<std::string>{"tsv", "csv", "table", "vit", "vst", "json"}.contains(options.format))
                return error = "неизвестный формат «" + options.format + "»", false;
            continue;
        }
        if (arg == "--feature") {
            if (!takeValue(options.features.emplace_back())) return error = "у --feature нет значения", false;
            continue;
        }
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
                          options.exportTable || !options.format.empty() || options.output))
        return error = "--chart не сочетается с --height, --chest, --waist, --hip, --export, --format и --output",
               false;
    if (!options.nearest && (options.select || !options.features.empty() || options.measurements))
        return error = "--select, --feature и --measurements только с --nearest", false;
    if (options.nearest && (options.chart || options.pdf)) return error = "--nearest не сочетается с --chart и --pdf", false;
    if (options.chartPages && !options.pdf) return error = "--chart-pages только с --pdf", false;
    if (options.pdf && (options.chart || options.exportTable || !options.format.empty() || options.output))
        return error = "--pdf не сочетается с --chart, --export, --format и --output", false;
    const bool chartWanted = options.chart || options.chartPages;
    if ((options.heights || options.chests || options.thirds) && !chartWanted)
        return error = "--heights, --chests и --thirds только с --chart или --chart-pages", false;
    if (options.chartPages && (options.height || options.chest || options.waist || options.hip))
        return error = "--chart-pages не сочетается с --height, --chest, --waist и --hip", false;
    // The export writes one figure's list: with --nearest only the chosen figure has one.
    if (options.nearest && options.exportTable && !options.select)
        return error = "--export с --nearest только вместе с --select", false;
    return true;
}

// Windows-1251 text in lower case: Latin and Cyrillic letters, Ё included.
std::string AnsiLower(std::string text) {
    for (char& c : text) {
        const auto code = static_cast<unsigned char>(c);
        if ((code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDF)) c = static_cast<char>(code + 0x20);
        else if (code == 0xA8) c = static_cast<char>(0xB8);
    }
    return text;
}

// An entry chosen by its number or its caption (the caption given in UTF-8, any case).
std::optional<int> EntryIndex(const std::string& value, const std::vector<std::string>& captions) {
    if (value.size() == 1 && value[0] >= '0' && value[0] < '0' + static_cast<int>(captions.size()))
        return value[0] - '0';
    const std::string ansi = AnsiLower(Utf8ToAnsi(value));
    for (std::size_t i = 0; i < captions.size(); ++i)
        if (AnsiLower(captions[i]) == ansi) return static_cast<int>(i);
    return std::nullopt;
}

// A group by its digit, its caption or its English name, in any case.
const figures::GroupEntry* FindGroupNamed(const std::string& value) {
    std::vector<std::string> captions;
    for (const figures::GroupEntry& group : figures::Groups()) captions.emplace_back(group.caption);
    if (const auto index = EntryIndex(value, captions)) return figures::FindGroup(*index);
    const std::string lower = AnsiLower(value);
    for (const figures::GroupEntry& group : figures::Groups())
        if (group.englishName == lower) return &group;
    return nullptr;
}

std::string Offered(const std::vector<std::string>& entries) {
    std::string text;
    for (const auto& entry : entries) text += (text.empty() ? "" : ", ") + AnsiToUtf8(entry);
    return text.empty() ? "(список пуст)" : text;
}

std::string TablePath(const std::string& dataDirectory, const figures::GroupEntry& group) {
    return kelvo::platform::PathToUtf8(dataDirectory + std::string(group.tableFile));
}

// Checks the options against the group: what does not apply to it is a usage error.
bool OptionsApply(const Options& options, const figures::GroupEntry& group, std::string& error) {
    if (options.age && !group.hasAgeGroups) return error = "--age только для девочек и мальчиков", false;
    const bool waistList = group.hasThirdList && group.third == figures::ThirdDimension::Waist;
    const bool hipList = group.hasThirdList && group.third == figures::ThirdDimension::Hip;
    if (options.waist && !waistList) return error = "--waist не для этой группы", false;
    if (options.hip && !hipList) return error = "--hip только для женщин", false;
    return true;
}

// Chooses the age, height, chest and third girth in the window as a user would; false with
// a message naming the list and its entries when a value is not offered.
bool ChooseFigure(HeadlessWindow& window, const Options& options, std::string& error) {
    const auto choose = [&](int id, const std::string& list, const std::optional<std::string>& value) {
        if (!value) return true;
        const auto entries = window.Entries(id);
        if (id == res::kIdAgeList) {
            const auto index = EntryIndex(*value, entries);
            if (index && window.Choose(id, *index)) return true;
        } else if (window.ChooseText(id, Utf8ToAnsi(*value))) {
            return true;
        }
        error = "в списке «" + list + "» нет значения «" + *value + "»; есть: " + Offered(entries);
        return false;
    };
    return choose(res::kIdAgeList, "Возрастная группа", options.age) &&
           choose(res::kIdHeightList, "T1", options.height) && choose(res::kIdChestList, "T16", options.chest) &&
           choose(res::kIdThirdList, "T18", options.waist) && choose(res::kIdThirdList, "T19", options.hip);
}

// The result list as the window shows it: the column captions, then every item.
std::vector<std::vector<std::string>> ListLines(HeadlessWindow& window) {
    std::vector<std::vector<std::string>> lines;
    const auto& columns = window.List(res::kIdResultList).Columns();
    lines.emplace_back();
    for (const auto& column : columns) lines.back().push_back(column.caption);
    for (int item = 0; item < window.ItemCount(res::kIdResultList); ++item) {
        lines.emplace_back();
        for (std::size_t c = 0; c < columns.size(); ++c)
            lines.back().push_back(window.ItemText(res::kIdResultList, item, static_cast<int>(c)));
    }
    return lines;
}

constexpr kelvo::platform::AnsiText kSourceHeading(u8"Источник");

// The sources beside the list: with --sources a last column "Источник"; in a table for the
// terminal, where no script reads the columns, a mark on each illustrative row anyway. True
// when rows were marked.
bool AddSources(std::vector<std::vector<std::string>>& lines, const results::ResultTable& rows,
                results::ListFormat format, bool withSources) {
    bool illustrative = false;
    for (std::int32_t row = 0; row < rows.GetSize(); ++row) illustrative = illustrative || rows[row].illustrative;
    const bool marks = !withSources && format == results::ListFormat::Table && illustrative;
    if (!withSources && !marks) return false;
    lines[0].emplace_back(withSources ? kSourceHeading.view() : std::string_view());
    for (std::size_t item = 1; item < lines.size(); ++item) {
        const auto row = static_cast<std::int32_t>(item - 1);
        const bool held = row < rows.GetSize();
        if (withSources) lines[item].push_back(held ? rows[row].source : std::string());
        else lines[item].emplace_back(held && rows[row].illustrative ? "*" : "");
    }
    return marks;
}

results::ListFormat FormatNamed(const std::string& format) {
    if (format == "csv") return results::ListFormat::Csv;
    if (format == "table") return results::ListFormat::Table;
    return results::ListFormat::Tsv;
}

// A file named on the command line (UTF-8) in the platform's form. Paths go through the
// program with '\' as the separator: a name holding one, or signs the platform cannot hold
// (Windows: outside 1251), would be written under another name.
bool CommandLinePath(const std::string& file, std::string& path) {
    return kelvo::platform::PathFromUtf8(file, path) && path.find('\\') == std::string::npos;
}

int UnusablePath(const std::string& file) {
    return UsageError("имя файла «" + file + "» не передать: в нём «\\» или знаки вне Windows-1251");
}

// The figure shown as a measurement file, to `output` or to stdout; the exit code.
int WriteMeasurements(const kelvo::app::FigureDialog& dialog, results::MeasurementFormat format,
                      const std::optional<std::string>& output) {
    std::string path;
    if (output && !CommandLinePath(*output, path)) return UnusablePath(*output);
    std::string bytes, message;
    const bool written = output ? results::WriteMeasurementFile(path, format, dialog.ShownFigure(), dialog.Results(), message)
                                : results::BuildMeasurementFile(format, dialog.ShownFigure(), dialog.Results(), bytes, message);
    if (!written) return Fail(1, AnsiToUtf8(message));
    return output ? 0 : Emit(bytes);
}

// "158-176" or a single "164" as a span; false when the text is neither.
bool ParseSpan(const std::string& text, figures::ListSpan& span) {
    const auto number = [](const std::string& part, double& value) {
        const char* begin = part.c_str();
        char* end = nullptr;
        value = std::strtod(begin, &end);
        return !part.empty() && end != begin && *end == '\0' && part[0] != '-' && part[0] != '+';
    };
    const auto dash = text.find('-');
    if (dash == std::string::npos) return number(text, span.from) && number(text, span.to);
    return number(text.substr(0, dash), span.from) && number(text.substr(dash + 1), span.to);
}

// The range the options ask for, checked against what the group's lists offer; false with
// a message naming the option or the bound.
bool ReadRange(const Options& options, const std::string& dataDirectory, const figures::GroupEntry& group, int age,
               figures::FigureRange& range, std::string& error) {
    const auto read = [&](const char* name, const std::optional<std::string>& text, std::optional<figures::ListSpan>& into) {
        if (!text) return true;
        figures::ListSpan span{};
        if (!ParseSpan(*text, span)) return error = std::string(name) + ": не диапазон «" + *text + "» (нужно от-до, например 158-176)", false;
        into = span;
        return true;
    };
    if (!read("--heights", options.heights, range.heights) || !read("--chests", options.chests, range.chests) ||
        !read("--thirds", options.thirds, range.thirds))
        return false;
    if (range.IsWhole()) return true;
    figures::FigureLists lists;
    if (!figures::ListFigures(dataDirectory, group.group, age, lists))
        return error = "не удалось прочитать списки из " + TablePath(dataDirectory, group), false;
    const std::string fault = figures::RangeFault(lists, range);
    if (fault.empty()) return true;
    return error = AnsiToUtf8(fault), false;
}

// The size chart of `group` (girls and boys: of age group `age`) within `range`; the exit
// code, 0 when `chart` holds it.
int BuildChart(const std::string& dataDirectory, const figures::GroupEntry& group, int age,
               const figures::FigureRange& range, results::SizeChart& chart) {
    const bool showProgress = ::isatty(STDERR_FILENO);
    const bool built = figures::BuildSizeChart(dataDirectory, group.group, age, range, chart, [&](int done, int total) {
        if (!showProgress) return;
        std::fprintf(stderr, "\rkelvo-cli: таблица размеров, рост %d из %d", done, total);
        if (done == total) std::fputc('\n', stderr);
    });
    return built ? 0 : Fail(1, "не удалось составить таблицу размеров из " + TablePath(dataDirectory, group));
}

// Writes the size chart to `file`, given in UTF-8; the exit code. Without `withSources` the
// chart has no source column.
int WriteChart(const std::string& dataDirectory, const figures::GroupEntry& group, int age,
               const figures::FigureRange& range, const std::string& file, results::CsvDialect dialect, bool withSources) {
    std::string path;
    if (!CommandLinePath(file, path)) return UnusablePath(file);
    results::SizeChart chart;
    if (const int code = BuildChart(dataDirectory, group, age, range, chart)) return code;
    if (!withSources) chart.sources.clear();
    std::string message;
    if (!results::WriteSizeChart(path, chart, dialect, message)) return Fail(1, AnsiToUtf8(message));
    return 0;
}

// Writes the pages `layOut` makes as PDF to `file`, given in UTF-8; the exit code.
int WritePdf(const std::string& file, const kelvo::platform::PageLayout& layOut) {
    std::string path;
    if (!CommandLinePath(file, path)) return UnusablePath(file);
    std::string bytes, message;
    if (!kelvo::programs::RenderPdf(layOut, bytes, message)) return Fail(2, message);
    if (!results::WriteWholeFile(path, bytes, message)) return Fail(1, AnsiToUtf8(message));
    return 0;
}

// --pdf: the figure shown as a measurement sheet, or with --chart-pages the group's chart
// within the range asked for; the exit code.
int WritePages(HeadlessWindow& window, const kelvo::app::FigureDialog& dialog, const figures::GroupEntry& group,
               const Options& options) {
    const std::string folder = kelvo::platform::PathText(dialog.DataDirectory());
    const std::string date = results::DateText(std::time(nullptr));
    if (!options.chartPages) {
        if (!dialog.IsComputed()) return Fail(1, "фигура не рассчитана: печатать нечего");
        const results::PrintHeading heading = results::SheetHeading(dialog.ShownFigure(), folder, date);
        return WritePdf(*options.pdf, [&](kelvo::platform::TextMeasure& measure) {
            return results::LayOutSheet(dialog.Results(), heading, measure);
        });
    }
    const int age = window.Selection(res::kIdAgeList);
    figures::FigureRange range;
    std::string error;
    if (!ReadRange(options, dialog.DataDirectory(), group, age, range, error)) return Fail(2, error);
    results::SizeChart chart;
    if (const int code = BuildChart(dialog.DataDirectory(), group, age, range, chart)) return code;
    const std::string third = group.hasThirdList ? std::string(figures::ThirdCaption(group.third)) : std::string();
    const results::PrintHeading heading =
        results::ChartHeading(group.caption, group.hasAgeGroups ? window.Entries(res::kIdAgeList).at(static_cast<std::size_t>(age)) : "",
                              figures::RangeText(range, third), folder, date);
    return WritePdf(*options.pdf, [&](kelvo::platform::TextMeasure& measure) {
        return results::LayOutChart(chart, heading, measure);
    });
}

results::ListFormat OutputFormat(const Options& options) {
    return FormatNamed(options.format.empty() ? (::isatty(STDOUT_FILENO) ? "table" : "tsv") : options.format);
}

// Presses the export button where asked and prints the result list, or writes the figure's
// measurement file, to stdout or --output; the exit code.
int PrintList(HeadlessWindow& window, const kelvo::app::FigureDialog& dialog, const Options& options) {
    if (options.exportTable) {
        window.Press(res::kIdWriteTable);
        if (!window.messages.empty()) return Fail(1, AnsiToUtf8(window.messages.back()));
    }
    if (options.format == "vit") return WriteMeasurements(dialog, results::MeasurementFormat::Vit, options.output);
    if (options.format == "vst") return WriteMeasurements(dialog, results::MeasurementFormat::Vst, options.output);
    if (options.format == "json") return WriteMeasurements(dialog, results::MeasurementFormat::Json, options.output);
    const results::ListFormat format = OutputFormat(options);
    auto lines = ListLines(window);
    const bool marked = AddSources(lines, dialog.Results(), format, options.sources);
    const std::string list = results::FormatList(lines, format) +
                             (marked ? "* иллюстративное значение: выведено для правдоподобия, ни из какого стандарта не взято\n" : "");
    if (!options.output) return Emit(list);
    std::string path, message;
    if (!CommandLinePath(*options.output, path)) return UnusablePath(*options.output);
    return results::WriteWholeFile(path, list, message) ? 0 : Fail(1, AnsiToUtf8(message));
}

// A client's measurements file, of which the group's table holds the features: the person
// as far as the file gives them; what it lacks of the leading dimensions goes to stderr.
bool ReadClientFile(const std::string& argument, const figures::GroupEntry& group, const results::ResultTable& rows,
                    figures::PersonMeasurements& person, std::string& error) {
    std::string path, bytes, message;
    if (!CommandLinePath(argument, path)) return error = "путь «" + argument + "» в системе не записать", false;
    if (!kelvo::platform::ReadWholeFile(path, bytes)) return error = "файл мерок «" + argument + "» не читается", false;
    figures::ClientMeasurements read;
    if (!figures::ReadClientMeasurements(bytes, group, read, message))
        return error = argument + ": " + AnsiToUtf8(message), false;
    // Only features the group's table holds count: the file may hold many more.
    std::set<int> held;
    for (std::int32_t i = 0; i < rows.GetSize(); ++i) {
        int number = 0;
        const std::string cell = rows[i].cells[0];
        const auto first = cell.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        const auto [end, code] = std::from_chars(cell.data() + first, cell.data() + cell.size(), number);
        if (code == std::errc() && (end == cell.data() + cell.size() || *end == ' ')) held.insert(number);
    }
    person.height = read.person.height;
    person.chest = read.person.chest;
    person.third = read.person.third;
    int unused = read.ignored;
    for (const figures::Measurement& m : read.person.features) {
        if (held.contains(m.feature)) person.features.push_back(m);
        else ++unused;
    }
    std::string lacking;
    for (const std::string& name : read.lacking) lacking += (lacking.empty() ? "" : ", ") + name;
    std::fprintf(stderr, "kelvo-cli: из файла мерок взято %zu, не подошло группе %d%s\n",
                 static_cast<std::size_t>(read.taken) - (read.person.features.size() - person.features.size()), unused,
                 lacking.empty() ? "" : ("; в нём нет " + lacking).c_str());
    return true;
}

// The person's measurements from the options; false with a message naming the option.
bool ReadMeasurements(const Options& options, figures::PersonMeasurements& person, std::string& error) {
    const auto read = [&](const char* name, const std::optional<std::string>& text, std::optional<double>& into) {
        if (!text) return true;
        double value = 0;
        if (!figures::ParseMeasurement(*text, value)) return error = std::string(name) + ": не число «" + *text + "»", false;
        into = value;
        return true;
    };
    if (!read("--height", options.height, person.height) || !read("--chest", options.chest, person.chest) ||
        !read("--waist", options.waist, person.third) || !read("--hip", options.hip, person.third))
        return false;
    for (const std::string& text : options.features) {
        std::vector<figures::Measurement> features;
        std::string message;
        if (!figures::ParseFeatureList(Utf8ToAnsi(text), features, message)) return error = AnsiToUtf8(message), false;
        person.features.insert(person.features.end(), features.begin(), features.end());
    }
    return true;
}

// --nearest: the three figures nearest to the person's measurements, or with --select the
// list of the first one as the window shows it once chosen.
int RunNearest(HeadlessWindow& window, const kelvo::app::FigureDialog& dialog, const figures::GroupEntry& group,
               const Options& options) {
    std::string error;
    figures::PersonMeasurements person;
    // The file first: what the options give takes its place.
    if (options.measurements && !ReadClientFile(*options.measurements, group, dialog.Results(), person, error))
        return Fail(1, error);
    if (!ReadMeasurements(options, person, error)) return Fail(2, error);
    const std::vector<std::string> ages = group.hasAgeGroups ? window.Entries(res::kIdAgeList) : std::vector<std::string>{};
    int age = figures::kAnyAge;
    const auto anyAge = [](const std::string& value) {
        const std::string lower = AnsiLower(Utf8ToAnsi(value));
        return lower == "any" || lower == Utf8ToAnsi("любая");
    };
    if (options.age && !anyAge(*options.age)) {
        const auto index = EntryIndex(*options.age, ages);
        if (!index) return Fail(2, "в списке «Возрастная группа» нет значения «" + *options.age + "»; есть: " + Offered(ages) + ", any");
        age = *index;
    }
    std::vector<results::FigureMatch> nearest;
    std::string message;
    if (!figures::FindNearestFigures(dialog.DataDirectory(), group.group, age, person, nearest, message))
        return Fail(2, AnsiToUtf8(message));
    if (!options.select) {
        const std::string third = group.hasThirdList ? std::string(figures::ThirdCaption(group.third)) : std::string();
        return Emit(results::FormatList(results::MatchLines(nearest, ages, third), OutputFormat(options)));
    }
    const results::FigureMatch& first = nearest.front();
    Options chosen;
    if (group.hasAgeGroups) chosen.age = std::to_string(first.age);
    chosen.height = AnsiToUtf8(first.height);
    chosen.chest = AnsiToUtf8(first.chest);
    if (group.hasThirdList) (group.third == figures::ThirdDimension::Hip ? chosen.hip : chosen.waist) = AnsiToUtf8(first.third);
    if (!ChooseFigure(window, chosen, error)) return Fail(1, error);
    return PrintList(window, dialog, options);
}

// Opens the window on the chosen group and figure and does what the options ask.
int Run(const Options& options) {
    const figures::GroupEntry* group = &figures::Group(figures::kDefaultGroup);
    if (options.group && !(group = FindGroupNamed(*options.group)))
        return Fail(2, "в списке «Группа» нет «" + *options.group + "»; есть: " + GroupNames());
    std::string error;
    if (!OptionsApply(options, *group, error)) return UsageError(error);

    kelvo::app::FigureDialog dialog;
    if (options.data) {
        std::string path;
        if (!kelvo::platform::PathFromUtf8(*options.data, path))
            return Fail(2, "папку «" + *options.data + "» не передать: в её имени знаки вне Windows-1251");
        dialog.SetDataDirectory(path);
    }
    dialog.SetInitialGroup(static_cast<int>(group->group));
    HeadlessWindow window(dialog);
    if (!dialog.Table().IsOpen()) {
        const std::string table = TablePath(dialog.DataDirectory(), *group);
        if (dialog.Table().Failure() == tables::OpenFailure::TooLarge)
            return Fail(1, "таблица признаков " + table + " слишком велика: в ней больше " +
                               std::to_string(tables::FeatureTable::kMaxRecords) + " записей");
        return Fail(1, "не удалось открыть таблицу признаков " + table);
    }
    if (options.nearest) return RunNearest(window, dialog, *group, options);
    if (!ChooseFigure(window, options, error)) return Fail(2, error);

    if (options.pdf) return WritePages(window, dialog, *group, options);
    if (options.chart) {
        const auto dialect =
            options.chartFormat == "rfc4180" ? results::CsvDialect::Rfc4180 : results::CsvDialect::Spreadsheet;
        const int age = window.Selection(res::kIdAgeList);
        figures::FigureRange range;
        if (!ReadRange(options, dialog.DataDirectory(), *group, age, range, error)) return Fail(2, error);
        return WriteChart(dialog.DataDirectory(), *group, age, range, *options.chart, dialect, options.sources);
    }
    return PrintList(window, dialog, options);
}

// kelvo-cli --make-table GROUP SOURCE.csv TABLE.dbf: the designer's CSV checked and turned
// into the group's table, with the side file of its sources when the CSV has a source
// column. A refused source writes nothing and every fault is named.
int MakeTable(const std::string& groupName, const std::string& sourceFile, const std::string& tableFile) {
    const figures::GroupEntry* group = FindGroupNamed(groupName);
    if (!group) return UsageError("группы «" + groupName + "» нет; есть: " + GroupNames());
    std::string sourcePath, tablePath, csv;
    if (!CommandLinePath(sourceFile, sourcePath)) return UnusablePath(sourceFile);
    if (!CommandLinePath(tableFile, tablePath)) return UnusablePath(tableFile);
    if (!kelvo::platform::ReadWholeFile(sourcePath, csv)) return Fail(1, "не удалось прочитать " + sourceFile);

    kelvo::tables::TableSource source;
    std::vector<kelvo::tables::TableFault> faults;
    kelvo::tables::ReadTableSource(csv, figures::TableColumns(group->group), source, faults);
    if (!source.contents.fields.empty()) figures::CheckTable(group->group, source, faults);
    if (!faults.empty()) {
        std::stable_sort(faults.begin(), faults.end(), [](const auto& a, const auto& b) { return a.line < b.line; });
        std::string text;
        for (const auto& fault : faults) text += kelvo::tables::FaultMessage(sourceFile, source, fault) + "\n";
        std::fputs(text.c_str(), stderr);
        return Fail(1, "таблица не записана, ошибок в " + sourceFile + ": " + std::to_string(faults.size()));
    }
    std::string message;
    const std::string sidePath = kelvo::tables::SidePath(tablePath);
    if (!results::WriteWholeFile(tablePath, kelvo::tables::BuildTable(source.contents), message))
        return Fail(1, AnsiToUtf8(message));
    if (source.hasSources) {
        if (!results::WriteWholeFile(sidePath, kelvo::tables::BuildSideFile(source.sources), message))
            return Fail(1, AnsiToUtf8(message));
    } else {
        // A side file left from an earlier table would give this one's values its sources.
        std::error_code ignored;
        std::filesystem::remove(kelvo::platform::NativePath(sidePath), ignored);
    }
    return 0;
}

// kelvo-cli --dump-table TABLE.dbf SOURCE.csv: any table in the layout --make-table reads.
int DumpTable(const std::string& tableFile, const std::string& sourceFile) {
    std::string tablePath, sourcePath;
    if (!CommandLinePath(tableFile, tablePath)) return UnusablePath(tableFile);
    if (!CommandLinePath(sourceFile, sourcePath)) return UnusablePath(sourceFile);
    kelvo::tables::FeatureTable table;
    if (!table.Open(tablePath) || table.ColumnCount() < 2)
        return Fail(1, "не удалось открыть таблицу признаков " + tableFile);
    kelvo::tables::TableSources sources;
    kelvo::tables::ReadTableSources(tablePath, sources);
    std::string message;
    if (!results::WriteWholeFile(sourcePath, kelvo::tables::BuildTableSourceCsv(table, sources.features), message))
        return Fail(1, AnsiToUtf8(message));
    return 0;
}

// The table tools take their arguments by position; nothing else goes with them.
std::optional<int> RunTableTool(int argc, char** argv) {
    if (argc < 2) return std::nullopt;
    const std::string tool = argv[1];
    if (tool == "--make-table") {
        if (argc != 5) return UsageError("--make-table: нужны группа, исходник CSV и таблица");
        return MakeTable(argv[2], argv[3], argv[4]);
    }
    if (tool == "--dump-table") {
        if (argc != 4) return UsageError("--dump-table: нужны таблица и файл CSV");
        return DumpTable(argv[2], argv[3]);
    }
    return std::nullopt;
}

// A table within the record limit may still hold more text than a small address space
// takes: end with a message and a failure, not with an abort.
void OutOfMemory() {
    static constexpr char kMessage[] = "kelvo-cli: недостаточно памяти\n";
    [[maybe_unused]] const auto n = ::write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
    ::_exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    std::set_new_handler(OutOfMemory);
    if (const auto code = RunTableTool(argc, argv)) return *code;
    Options options;
    std::string error;
    const bool parsed = ParseOptions(argc, argv, options, error);
    if (options.help) return Emit(Usage());
    if (options.version) {
        char text[64];
        std::snprintf(text, sizeof text, "kelvo-cli %d.%d.%d.%d\n", res::kVersion[0], res::kVersion[1],
                      res::kVersion[2], res::kVersion[3]);
        return Emit(text);
    }
    if (!parsed) return UsageError(error);
    return Run(options);
}
