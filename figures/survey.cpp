#include "figures/survey.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/decimal.h"
#include "platform/codepage.h"

namespace kelvo::figures {
namespace {

bool ValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2) return false;
        i += length;
    }
    return true;
}

// A header cell as names compare: Windows-1251, small letters, ё as е, blanks trimmed.
std::string Key(std::string_view ansi) {
    std::string key;
    for (const char sign : ansi) {
        auto c = static_cast<unsigned char>(sign);
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
        else if (c >= 0xC0 && c <= 0xDF) c = static_cast<unsigned char>(c + 32);
        else if (c == 0xA8 || c == 0xB8) c = 0xE5;
        key += static_cast<char>(c);
    }
    while (!key.empty() && key.back() == ' ') key.pop_back();
    while (!key.empty() && key.front() == ' ') key.erase(0, 1);
    return key;
}

// The names a survey may give each leading dimension (UTF-8), besides "T1", "T16", "T18", "T19".
const std::vector<std::string_view>& UsualNames(int dimension, ThirdDimension third) {
    static const std::vector<std::string_view> kHeight = {"рост", "height", "stature", "body height"};
    static const std::vector<std::string_view> kChest = {"обхват груди", "обхват груди третий", "chest",
                                                         "chest girth", "chest circumference", "chestcircumference"};
    static const std::vector<std::string_view> kWaist = {"обхват талии", "waist", "waist girth",
                                                         "waist circumference", "waistcircumference"};
    static const std::vector<std::string_view> kHip = {"обхват бедер", "hip", "hips", "hip girth", "hip circumference",
                                                       "hipcircumference", "buttockcircumference"};
    if (dimension == 0) return kHeight;
    if (dimension == 1) return kChest;
    return third == ThirdDimension::Hip ? kHip : kWaist;
}

int LeadingNumber(int dimension, ThirdDimension third) {
    return dimension == 0 ? 1 : dimension == 1 ? 16 : ThirdFeature(third);
}

bool Number(std::string_view cell, bool decimalComma, double& value) {
    while (!cell.empty() && (cell.front() == ' ' || cell.front() == '\t')) cell.remove_prefix(1);
    while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t')) cell.remove_suffix(1);
    if (cell.empty() || cell.size() > 40) return false;
    // A survey's numbers are short decimals: read them here. With at most 15 digits the digits
    // are a double exactly, and so is 10^k; one division then rounds as strtod does. The C
    // library's strtod, behind from_chars, costs a hundred times this under Windows.
    static constexpr double kTens[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = cell.front() == '-' || cell.front() == '+' ? 1 : 0;
    long long digits = 0;
    int count = 0, decimals = -1;
    for (; i < cell.size(); ++i) {
        const char c = cell[i];
        if (c >= '0' && c <= '9') {
            // Past 15 digits the library reads the number; the digits only count.
            if (count < 15) digits = digits * 10 + (c - '0');
            ++count;
            if (decimals >= 0) ++decimals;
        } else if ((c == '.' || (decimalComma && c == ',')) && decimals < 0) {
            decimals = 0;
        } else {
            break;
        }
    }
    if (i == cell.size() && count > 0 && count <= 15) {
        value = static_cast<double>(digits) / kTens[std::max(decimals, 0)];
        if (cell.front() == '-') value = -value;
        return true;
    }
    // Anything else (an exponent, many digits): the library's reading, or no number.
    const char* begin = cell.data();
    const char* stop = cell.data() + cell.size();
    char buffer[48];
    if (decimalComma && cell.find(',') != std::string_view::npos) {
        std::size_t n = 0;
        for (const char c : cell) buffer[n++] = c == ',' ? '.' : c;
        begin = buffer;
        stop = buffer + n;
    }
    const auto [end, error] = platform::ReadDouble(begin, stop, value, std::chars_format::fixed);
    return error == std::errc() && end == stop && std::isfinite(value);
}

}  // namespace

void SplitCsvLine(std::string_view line, char separator, std::vector<std::string>& cells) {
    cells.clear();
    std::string cell;
    bool quoted = false, started = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') cell += '"', ++i;
            else if (c == '"') quoted = false;
            else cell += c;
        } else if (c == '"' && !started) {
            quoted = started = true;
        } else if (c == separator) {
            cells.push_back(std::move(cell));
            cell.clear();
            started = false;
        } else {
            cell += c;
            started = started || c != ' ';
        }
    }
    cells.push_back(std::move(cell));
}

bool ParseSurveyColumns(std::string_view text, ThirdDimension third, SurveyColumns& columns, std::string& message) {
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(','), text.size());
        const std::string_view part = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::size_t eq = part.find('=');
        std::string_view dimension = part.substr(0, eq);
        if (eq == std::string_view::npos || eq + 1 >= part.size() || dimension.empty())
            return message = "не разобрать «" + std::string(part) + "»: нужно T1=имя,T16=имя,…", false;
        const std::string name(part.substr(eq + 1));
        if (dimension == "age" || dimension == "возраст") {
            columns.age = name;
            continue;
        }
        if (dimension.front() == 'T' || dimension.front() == 't') dimension.remove_prefix(1);
        int number = 0;
        const auto [stop, error] = std::from_chars(dimension.data(), dimension.data() + dimension.size(), number);
        if (error != std::errc() || stop != dimension.data() + dimension.size() || number <= 0)
            return message = "не номер признака и не age: «" + std::string(part.substr(0, eq)) + "»", false;
        if (number == 1) columns.height = name;
        else if (number == 16) columns.chest = name;
        else if (number == ThirdFeature(third)) columns.third = name;
        else columns.features.emplace_back(number, name);
    }
    return true;
}

int AgeGroupOfYears(double years) {
    if (years < 3 || years >= 19) return kAnyAge;
    return years < 7 ? 0 : years < 12 ? 1 : years < 15 ? 2 : 3;
}

bool SurveyLayout::Read(std::string_view header, const GroupEntry& group, const SurveyColumns& columns, SurveyUnit unit,
                        bool ageFromColumn, std::string& message, bool& named) {
    named = false;
    if (header.starts_with("\xEF\xBB\xBF")) header.remove_prefix(3);
    const bool utf8 = ValidUtf8(header);
    // The separator is the one the header holds most of.
    std::size_t best = 0;
    separator_ = ',';
    for (const char candidate : {';', '\t', ','}) {
        const std::size_t count = static_cast<std::size_t>(std::count(header.begin(), header.end(), candidate));
        if (count > best) best = count, separator_ = candidate;
    }
    decimalComma_ = separator_ != ',';
    toCm_ = unit == SurveyUnit::Mm ? 0.1 : unit == SurveyUnit::Inch ? 2.54 : 1.0;
    std::vector<std::string> cells;
    SplitCsvLine(header, separator_, cells);
    names_.clear();
    std::vector<std::string> keys;
    for (const std::string& cell : cells) {
        names_.push_back(utf8 ? cell : platform::AnsiToUtf8(cell));
        keys.push_back(Key(utf8 ? platform::Utf8ToAnsi(cell) : cell));
    }
    const auto find = [&](std::string_view utf8Name) {
        const std::string key = Key(platform::Utf8ToAnsi(utf8Name));
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == key) return static_cast<int>(i);
        return -1;
    };
    const std::optional<std::string> given[3] = {columns.height, columns.chest, columns.third};
    const int dimensions = group.hasThirdList ? 3 : 2;
    for (int d = 0; d < 3; ++d) {
        columns_[d] = -1;
        if (d >= dimensions || columns.omitted[d]) continue;
        if (given[d]) {
            if ((columns_[d] = find(*given[d])) < 0)
                return named = true, message = "в заголовке нет столбца «" + *given[d] + "»", false;
            continue;
        }
        columns_[d] = find("T" + std::to_string(LeadingNumber(d, group.third)));
        for (const std::string_view name : UsualNames(d, group.third))
            if (columns_[d] < 0) columns_[d] = find(name);
    }
    ageColumn_ = -1;
    if (ageFromColumn && group.hasAgeGroups) {
        if (columns.age) {
            if ((ageColumn_ = find(*columns.age)) < 0)
                return named = true, message = "в заголовке нет столбца «" + *columns.age + "»", false;
        }
        for (const std::string_view name : {"возраст", "возраст, лет", "возраст (лет)", "age", "age_years", "age (years)"})
            if (ageColumn_ < 0) ageColumn_ = find(name);
    }
    featureColumns_.clear();
    featureNumbers_.clear();
    for (const auto& [number, name] : columns.features) {
        const int column = find(name);
        if (column < 0) return named = true, message = "в заголовке нет столбца «" + name + "»", false;
        featureColumns_.push_back(column);
        featureNumbers_.push_back(number);
    }
    // Further features by their numbers: "T13", unless the user named them.
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].size() < 2 || keys[i][0] != 't') continue;
        int number = 0;
        const auto [end, error] = std::from_chars(keys[i].data() + 1, keys[i].data() + keys[i].size(), number);
        if (error != std::errc() || end != keys[i].data() + keys[i].size() || number <= 0) continue;
        bool leading = false;
        for (int d = 0; d < dimensions; ++d) leading = leading || number == LeadingNumber(d, group.third);
        if (leading || number == 18 || number == 19 ||
            std::find(featureNumbers_.begin(), featureNumbers_.end(), number) != featureNumbers_.end())
            continue;
        featureColumns_.push_back(static_cast<int>(i));
        featureNumbers_.push_back(number);
    }
    if (columns_[0] < 0 && columns_[1] < 0 && columns_[2] < 0)
        return message = "в заголовке нет ни одного ведущего измерения (T1 или Рост, T16, T18/T19): " +
                         std::string(header.substr(0, 120)), false;
    return true;
}

bool SurveyLayout::Person(std::string_view line, std::optional<double> (&leading)[3],
                          std::vector<std::optional<double>>& features, int& age, int& badColumn,
                          std::string& why) const {
    // Most lines hold no quotes: cut them where they lie without copying.
    thread_local std::vector<std::string> quotedCells;
    thread_local std::vector<std::string_view> cells;
    cells.clear();
    if (line.find('"') == std::string_view::npos) {
        std::size_t start = 0;
        while (true) {
            const std::size_t end = line.find(separator_, start);
            cells.push_back(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
            if (end == std::string_view::npos) break;
            start = end + 1;
        }
    } else {
        SplitCsvLine(line, separator_, quotedCells);
        for (const std::string& cell : quotedCells) cells.emplace_back(cell);
    }
    const auto read = [&](int column, std::optional<double>& into, double scale) {
        if (column < 0) return into.reset(), true;
        const std::string_view cell = static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)]
                                                                                      : std::string_view();
        double value = 0;
        if (!Number(cell, decimalComma_, value)) {
            badColumn = column + 1;
            why = cell.find_first_not_of(" \t") == std::string_view::npos
                      ? std::string("нет значения")
                      : "не число «" + std::string(cell.substr(0, 40)) + (cell.size() > 40 ? "…" : "") + "»";
            return false;
        }
        if (value <= 0) {
            badColumn = column + 1;
            why = "не больше нуля: " + std::string(cell);
            return false;
        }
        into = value * scale;
        return true;
    };
    age = kAnyAge;
    if (ageColumn_ >= 0) {
        std::optional<double> years;
        if (!read(ageColumn_, years, 1.0)) return false;
        if ((age = AgeGroupOfYears(*years)) == kAnyAge) {
            badColumn = ageColumn_ + 1;
            why = "возраст вне возрастных групп (от 3 до 18 лет): " + std::string(cells[static_cast<std::size_t>(ageColumn_)]);
            return false;
        }
    }
    for (int d = 0; d < 3; ++d)
        if (!read(columns_[d], leading[d], toCm_)) return false;
    features.resize(featureColumns_.size());
    for (std::size_t i = 0; i < featureColumns_.size(); ++i)
        if (!read(featureColumns_[i], features[i], toCm_)) return false;
    return true;
}

std::string SurveyLayout::Found() const {
    static const char* const kDimensions[] = {"T1", "T16", "T3"};
    std::string text;
    for (int d = 0; d < 3; ++d)
        if (columns_[d] >= 0)
            text += (text.empty() ? "" : ", ") + std::string(d == 2 ? "третий обхват" : kDimensions[d]) + ": «" +
                    names_[static_cast<std::size_t>(columns_[d])] + "»";
    for (std::size_t i = 0; i < featureColumns_.size(); ++i)
        text += ", T" + std::to_string(featureNumbers_[i]) + ": «" + names_[static_cast<std::size_t>(featureColumns_[i])] + "»";
    if (ageColumn_ >= 0) text += ", возраст: «" + names_[static_cast<std::size_t>(ageColumn_)] + "»";
    return text;
}

void SurveyTally::Add(const FigureGrid::Nearest& nearest) {
    ++read;
    if (nearest.figure < 0) {
        ++beyond;
        return;
    }
    ++people[static_cast<std::size_t>(nearest.figure)];
    distances[static_cast<std::size_t>(nearest.figure)] += nearest.distance;
}

}  // namespace kelvo::figures
