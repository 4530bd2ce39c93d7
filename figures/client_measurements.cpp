#include "figures/client_measurements.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <set>

#include "platform/decimal.h"
#include "platform/ansi_text.h"
#include "platform/codepage.h"
#include "results/measurement_names.h"

namespace kelvo::figures {
namespace {

// XML's five named entities and numeric references, as the programs write them into names.
std::string Unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const std::size_t end = text.find(';', i);
        if (end == std::string_view::npos) {
            out += text.substr(i);
            break;
        }
        const std::string_view entity = text.substr(i + 1, end - i - 1);
        if (entity == "amp") out += '&';
        else if (entity == "lt") out += '<';
        else if (entity == "gt") out += '>';
        else if (entity == "quot") out += '"';
        else if (entity == "apos") out += '\'';
        else if (entity.starts_with('#')) {
            unsigned code = 0;
            const bool hex = entity.size() > 1 && (entity[1] == 'x' || entity[1] == 'X');
            std::from_chars(entity.data() + (hex ? 2 : 1), entity.data() + entity.size(), code, hex ? 16 : 10);
            // As UTF-8: the names are UTF-8 text.
            if (code < 0x80) out += static_cast<char>(code);
            else if (code < 0x800) {
                out += static_cast<char>(0xC0 | (code >> 6));
                out += static_cast<char>(0x80 | (code & 0x3F));
            } else if (code < 0x10000) {
                out += static_cast<char>(0xE0 | (code >> 12));
                out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (code & 0x3F));
            }
        } else {
            out += text.substr(i, end - i + 1);
        }
        i = end;
    }
    return out;
}

// The value of attribute `name` in a start tag's text, unescaped; none when it is not there.
std::optional<std::string> Attribute(std::string_view tag, std::string_view name) {
    for (std::size_t at = 0; (at = tag.find(name, at)) != std::string_view::npos; at += name.size()) {
        // A whole attribute name: blank before it, '=' after it (blanks allowed around).
        if (at == 0 || (tag[at - 1] != ' ' && tag[at - 1] != '\t' && tag[at - 1] != '\n' && tag[at - 1] != '\r')) continue;
        std::size_t eq = at + name.size();
        while (eq < tag.size() && (tag[eq] == ' ' || tag[eq] == '\t' || tag[eq] == '\n' || tag[eq] == '\r')) ++eq;
        if (eq >= tag.size() || tag[eq] != '=') continue;
        std::size_t quote = eq + 1;
        while (quote < tag.size() && (tag[quote] == ' ' || tag[quote] == '\t' || tag[quote] == '\n')) ++quote;
        if (quote >= tag.size() || (tag[quote] != '"' && tag[quote] != '\'')) continue;
        const std::size_t close = tag.find(tag[quote], quote + 1);
        if (close == std::string_view::npos) return std::nullopt;
        return Unescaped(tag.substr(quote + 1, close - quote - 1));
    }
    return std::nullopt;
}

// The text of the first element `name`, or none.
std::optional<std::string> ElementText(std::string_view xml, std::string_view name) {
    const std::string open = "<" + std::string(name) + ">";
    const std::size_t start = xml.find(open);
    if (start == std::string_view::npos) return std::nullopt;
    const std::size_t end = xml.find('<', start + open.size());
    if (end == std::string_view::npos) return std::nullopt;
    std::string text = Unescaped(xml.substr(start + open.size(), end - start - open.size()));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r')) text.pop_back();
    while (!text.empty() && (text.front() == ' ' || text.front() == '\n')) text.erase(0, 1);
    return text;
}

// Where a name of the file goes: the feature, and the factor that gives the feature's own form.
struct Mapped {
    std::string number;  // Windows-1251, as the tables write it
    double factor = 1;
    bool half = false;   // the feature itself is a half girth
};

std::optional<Mapped> MapName(std::string_view group, const std::string& name) {
    if (name.starts_with("@T")) return Mapped{platform::Utf8ToAnsi(name.substr(2)), 1, false};
    for (const results::MeasurementNameRow& row : results::MeasurementNameRows()) {
        bool mine = false;
        for (const std::string& g : row.groups) mine = mine || g == "all" || g == group;
        if (!mine) continue;
        // A row whose other form is the whole girth is itself the half.
        const bool half = !row.otherName.empty() && !row.otherIsHalf;
        if (row.name == name) return Mapped{row.number, 1, half};
        if (!row.otherName.empty() && row.otherName == name) return Mapped{row.number, row.otherIsHalf ? 2.0 : 0.5, half};
    }
    return std::nullopt;
}

}  // namespace

bool ReadClientMeasurements(std::string_view bytes, const GroupEntry& group, ClientMeasurements& read,
                            std::string& message) {
    static constexpr platform::AnsiText kNotAVit(
        u8"Это не файл индивидуальных мерок (.vit): в нём нет элемента <vit>.");
    static constexpr platform::AnsiText kUnit(u8"Единица измерения файла мерок не известна: ");
    read = {};
    if (bytes.find("<vit") == std::string_view::npos || bytes.find("<vst") != std::string_view::npos) {
        message = kNotAVit.view();
        return false;
    }
    const std::string unit = ElementText(bytes, "unit").value_or("cm");
    double toCm = 1;
    if (unit == "mm") toCm = 0.1;
    else if (unit == "inch") toCm = 2.54;
    else if (unit != "cm") {
        message = std::string(kUnit.view()) + platform::Utf8ToAnsi(unit) + ".";
        return false;
    }
    const std::string third = group.hasThirdList ? std::string(ThirdCaption(group.third)).substr(1) : std::string();
    // A feature the file gives in both forms (kelvo's own files do) counts once: the first.
    std::set<std::string> seen;
    for (std::size_t at = bytes.find("<m "); at != std::string_view::npos; at = bytes.find("<m ", at + 3)) {
        const std::size_t end = bytes.find('>', at);
        if (end == std::string_view::npos) break;
        const std::string_view tag = bytes.substr(at, end - at);
        const auto name = Attribute(tag, "name");
        const auto value = Attribute(tag, "value");
        double number = 0;
        const auto parsed = value ? platform::ReadDouble(value->data(), value->data() + value->size(), number)
                                  : std::from_chars_result{nullptr, std::errc::invalid_argument};
        const auto mapped = name ? MapName(group.englishName, *name) : std::nullopt;
        // The programs write 0 for a measurement not taken; a formula is no client's number.
        if (!mapped || parsed.ec != std::errc() || parsed.ptr != value->data() + value->size() ||
            !std::isfinite(number) || number == 0) {
            ++read.ignored;
            continue;
        }
        if (!seen.insert(mapped->number).second) continue;
        const double own = number * toCm * mapped->factor;  // in the feature's own form
        // The lists give the leading girths whole, where the table may hold their halves.
        const double whole = mapped->half ? own * 2 : own;
        ++read.taken;
        if (mapped->number == "1") read.person.height = own;
        else if (mapped->number == "16") read.person.chest = whole;
        else if (!third.empty() && mapped->number == third) read.person.third = whole;
        else {
            int feature = 0;
            const auto [end2, error] = std::from_chars(mapped->number.data(), mapped->number.data() + mapped->number.size(), feature);
            if (error != std::errc() || end2 != mapped->number.data() + mapped->number.size()) {
                --read.taken;
                ++read.ignored;  // "34а": the search takes features by whole numbers
                continue;
            }
            read.person.features.push_back({feature, own});
        }
    }
    if (!read.person.height) read.lacking.push_back("T1");
    if (!read.person.chest) read.lacking.push_back("T16");
    if (group.hasThirdList && !read.person.third) read.lacking.push_back(std::string(ThirdCaption(group.third)));
    return true;
}

}  // namespace kelvo::figures
