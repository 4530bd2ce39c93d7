// kelvo-cli's options: the usage text and the one parser of the command line.
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

#include "programs/cli_command.h"
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

namespace kelvo::cli {

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
    "  --survey FILE  обмеры людей (CSV с заголовком): сколько людей у каждой типовой фигуры группы\n"
    "                 (--age — возрастная группа или any; без него девочкам и мальчикам — по столбцу\n"
    "                 возраста в годах, если он есть), сводка в стандартный вывод или --output;\n"
    "                 --assign FILE — фигура каждого человека, --sizes K — K размеров с наименьшим\n"
    "                 суммарным расстоянием, --columns T1=имя,T16=имя,T19=имя,13=имя,age=имя — свои\n"
    "                 имена столбцов, --units cm|mm|inch, --chart-format excel|rfc4180\n"
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
           "       kelvo-cli [--data DIR] [--group G] [--age A|any] --survey FILE [--assign FILE] [--sizes K]\n"
           "                 [--columns T1=ИМЯ,...] [--units cm|mm|inch] [--chart-format excel|rfc4180] [--output FILE]\n"
           "  --data DIR     папка данных (с подпапкой BD); без неё — как у окна\n"
           "  --group G      группа, номером или названием по-русски или по-английски, в любом регистре:\n"
           "                 " + GroupNames() + "\n" + kOptionsAfterGroup;
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
                             {"--measurements", &Options::measurements}, {"--survey", &Options::survey},
                             {"--assign", &Options::assign},   {"--sizes", &Options::sizes},
                             {"--columns", &Options::columns}, {"--units", &Options::units}};
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
            if (arg != flag.name) continue;
            if (inlineValue) return error = std::string("у ") + flag.name + " не бывает значения: «" + argv[i] + "»", false;
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
    if (options.chartFormat && !options.chart && !options.survey)
        return error = "--chart-format только с --chart и --survey", false;
    if (!options.survey && (options.assign || options.sizes || options.columns || options.units))
        return error = "--assign, --sizes, --columns и --units только с --survey", false;
    if (options.survey && (options.nearest || options.chart || options.pdf || options.height || options.chest ||
                           options.waist || options.hip || options.exportTable || !options.format.empty()))
        return error = "--survey не сочетается с --nearest, --chart, --pdf, --height, --chest, --waist, --hip, "
                       "--export и --format", false;
    if (options.units && *options.units != "cm" && *options.units != "mm" && *options.units != "inch")
        return error = "неизвестные единицы «" + *options.units + "»: cm, mm или inch", false;
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

}  // namespace kelvo::cli
