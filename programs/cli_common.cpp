// What every kelvo-cli command shares: failures and output, groups and entries by name, the
// figure chosen as a user would choose it, paths from the command line.
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

bool WriteOutputFile(const std::string& path, std::string_view bytes, std::string& message) {
    if (!platform::IsStream(path)) return results::WriteWholeFile(path, bytes, message);
    int error = 0;
    if (platform::WriteToStream(path, bytes, error)) return true;
    message = Utf8ToAnsi("Не удалось записать в " + platform::PathToUtf8(path) + ": " + std::strerror(error) + ".");
    return false;
}

int UnusablePath(const std::string& file) {
    return UsageError("имя файла «" + file + "» не передать: в нём «\\» или знаки вне Windows-1251");
}

results::ListFormat OutputFormat(const Options& options) {
    return FormatNamed(options.format.empty() ? (::isatty(STDOUT_FILENO) ? "table" : "tsv") : options.format);
}

}  // namespace kelvo::cli
