// --nearest: the typical figures nearest to a person's measurements, from the options and a
// client's measurements file.
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
    // A feature the file gave takes the option's value; one given twice by the options is
    // refused, as both would count.
    std::set<int> given;
    for (const std::string& text : options.features) {
        std::vector<figures::Measurement> features;
        std::string message;
        if (!figures::ParseFeatureList(Utf8ToAnsi(text), features, message)) return error = AnsiToUtf8(message), false;
        for (const figures::Measurement& m : features) {
            if (!given.insert(m.feature).second)
                return error = "--feature: признак " + std::to_string(m.feature) + " задан дважды", false;
            std::erase_if(person.features, [&](const figures::Measurement& held) { return held.feature == m.feature; });
            person.features.push_back(m);
        }
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

}  // namespace kelvo::cli
