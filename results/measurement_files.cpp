#include "results/measurement_files.h"

#include <charconv>
#include <cmath>
#include <map>
#include <set>

#include "platform/decimal.h"
#include "platform/ansi_text.h"
#include "platform/codepage.h"
#include "platform/json_text.h"
#include "results/export.h"
#include "results/measurement_names.h"
#include "tables/feature_table.h"

namespace kelvo::results {
namespace {

using platform::AnsiText;

// The newest versions that the pattern-making program of Debian 12 and Ubuntu (0.7.52) reads;
// later releases read them too and convert them. What kelvo writes is the same in the newer
// versions but for pm_system, which these may not leave empty. The schemas in tests/ are theirs.
constexpr std::string_view kVitVersion = "0.5.2";
constexpr std::string_view kVstVersion = "0.5.4";
constexpr std::string_view kNoPatternSystem = "998";  // the programs' code for "none"

// dBASE pads every field to its width; a typed value may carry blanks of its own.
std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// An increment as the compute step read it (ParseValue: atof, in the C locale): an empty
// field is 0, "1,5" is 1 and "0x1A" is 26, so that the file carries the increments the list
// was computed with. Its own text where that is the same number; empty when not finite.
std::string IncrementText(std::string_view cell) {
    const std::string_view text = Trimmed(cell);
    const double value = tables::ParseValue(std::string(text));
    if (!std::isfinite(value)) return {};
    if (const std::string decimal = DecimalText(text); !decimal.empty()) {
        double same = 0;
        platform::ReadDouble(decimal.data(), decimal.data() + decimal.size(), same);
        if (same == value) return decimal;
    }
    char buffer[32];
    const auto written = platform::WriteDouble(buffer, buffer + sizeof buffer, value == 0 ? 0.0 : value);
    return std::string(buffer, written.ptr);
}

// UTF-8 for XML text and attributes. Tab and line breaks survive as character references;
// other control characters XML cannot carry at all and become '?', as characters do that a
// code page lacks.
std::string Xml(std::string_view ansi) {
    std::string out;
    for (const char c : platform::AnsiToUtf8(ansi)) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\t': out += "&#9;"; break;
            case '\n': out += "&#10;"; break;
            case '\r': out += "&#13;"; break;
            default: out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
        }
    }
    return out;
}

// One row as the files carry it.
struct Measurement {
    std::string name;         // known, or "@T<number>"
    bool known = false;
    std::string number, title;  // trimmed cells 0 and 1, Windows-1251
    std::string value, heightIncrement, sizeIncrement;
    bool edited = false;
    // A girth's other form, derived from the row: half of it, or twice it (0 for a row).
    int scaled = 0;  // -1 half, +1 twice
};

// A decimal number (DecimalText's) halved or doubled, exactly: a power of two changes no
// digit that matters, and the shortest text gives the decimal back.
std::string Scaled(const std::string& decimal, int scale) {
    double value = 0;
    platform::ReadDouble(decimal.data(), decimal.data() + decimal.size(), value);
    value = scale < 0 ? value / 2 : value * 2;
    char buffer[32];
    const auto written = platform::WriteDouble(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, written.ptr);
}

// Patterns made for the programs' Russian tables ask for a girth in either form, which those
// tables carry side by side: each girth also goes out in its other form, where the table
// does not hold that one itself.
void AddOtherForms(const MeasuredFigure& figure, std::vector<Measurement>& rows, std::set<std::string>& used) {
    const std::size_t count = rows.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (!rows[i].known) continue;
        const MeasurementNameRow* known = KnownMeasurement(figure.groupKey, rows[i].number);
        if (!known || known->otherName.empty() || known->name != rows[i].name || used.contains(known->otherName))
            continue;
        Measurement other = rows[i];
        other.name = known->otherName;
        other.scaled = known->otherIsHalf ? -1 : 1;
        other.value = Scaled(rows[i].value, other.scaled);
        other.heightIncrement = Scaled(rows[i].heightIncrement, other.scaled);
        other.sizeIncrement = Scaled(rows[i].sizeIncrement, other.scaled);
        used.insert(other.name);
        rows.push_back(std::move(other));
    }
}

// A custom name must not start with a digit and holds no blanks or signs the programs'
// formulas use: "@T" and the feature number, any other character of it as '_'.
std::string CustomName(std::string_view number) {
    std::string name = "@T";
    for (const char c : number) {
        const auto b = static_cast<unsigned char>(c);
        const bool letter = (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ||
                            b == '_' || b >= 0xC0 || b == 0xA8 || b == 0xB8;
        name += letter ? c : '_';
    }
    return name;
}

bool Collect(const MeasuredFigure& figure, const ResultTable& table, std::vector<Measurement>& rows,
             std::string& message) {
    static constexpr AnsiText kNotANumber(u8"Мерки не записаны: у признака ");
    static constexpr AnsiText kValue(u8" значение «");
    static constexpr AnsiText kIncrement(u8" прибавка «");
    static constexpr AnsiText kNoNumber(u8"» не число.");
    // The schemas require every name once; a feature number the table repeats gets a
    // custom name the second time, made unique by a counter kept per name (counting up from
    // 2 for every repeat would make a table of repeats quadratic).
    std::set<std::string> used;
    std::map<std::string, int> nextSuffix;
    for (std::int32_t i = 0; i < table.GetSize(); ++i) {
        const ResultRow& row = table[i];
        Measurement m;
        m.number = Trimmed(row.cells[0]);
        m.title = Trimmed(row.cells[1]);
        m.edited = row.edited;
        m.value = DecimalText(row.cells[2]);
        m.heightIncrement = IncrementText(row.cells[3]);
        m.sizeIncrement = IncrementText(row.cells[4]);
        const bool valueBad = m.value.empty();
        if (valueBad || m.heightIncrement.empty() || m.sizeIncrement.empty()) {
            const std::string& bad = valueBad ? row.cells[2] : m.heightIncrement.empty() ? row.cells[3] : row.cells[4];
            message = std::string(kNotANumber.view()) + m.number +
                      std::string(valueBad ? kValue.view() : kIncrement.view()) + bad + std::string(kNoNumber.view());
            return false;
        }
        const std::string_view known = KnownMeasurementName(figure.groupKey, m.number);
        m.known = !known.empty() && !used.contains(std::string(known));
        m.name = m.known ? std::string(known) : CustomName(m.number);
        if (used.contains(m.name)) {
            const std::string custom = CustomName(m.number);
            int& k = nextSuffix.try_emplace(custom, 2).first->second;
            do m.name = custom + "_" + std::to_string(k++);
            while (used.contains(m.name));
        }
        used.insert(m.name);
        rows.push_back(std::move(m));
    }
    AddOtherForms(figure, rows, used);
    return true;
}

// "Мужчины: T1 176, T16 100, T18 78" or "Мальчики, Младшая школьная: T1 134, …".
std::string FigureNotes(const MeasuredFigure& figure) {
    std::string notes = figure.group;
    if (!figure.ageGroup.empty()) notes += ", " + figure.ageGroup;
    notes += ':';
    for (std::size_t i = 0; i < figure.leading.size(); ++i)
        notes += (i ? ", " : " ") + figure.leading[i].first + " " + std::to_string(figure.leading[i].second);
    return notes;
}

std::string Description(const Measurement& m) {
    static constexpr AnsiText kFeature(u8"размерный признак ");
    static constexpr AnsiText kHalf(u8"половина: ");
    static constexpr AnsiText kTwice(u8"удвоенный: ");
    const std::string of = m.scaled < 0 ? std::string(kHalf.view()) : m.scaled > 0 ? std::string(kTwice.view()) : "";
    return of + (m.title.empty() ? std::string(kFeature.view()) + m.number
                                 : m.title + " (" + std::string(kFeature.view()) + m.number + ")");
}

// The attributes every measurement carries besides its value: its name, and for a custom
// one the Russian name the program shows; the feature number always.
std::string NameAttributes(const Measurement& m) {
    std::string text = "name=\"" + Xml(m.name) + "\"";
    if (!m.known) text += " full_name=\"" + Xml(m.title) + "\"";
    return text + " description=\"" + Xml(Description(m)) + "\"";
}

std::string FileHead(std::string_view root, std::string_view version, const MeasuredFigure& figure) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + std::string(root) + ">\n";
    xml += "    <version>" + std::string(version) + "</version>\n";
    xml += "    <read-only>false</read-only>\n";
    xml += "    <notes>" + Xml(FigureNotes(figure)) + "</notes>\n";
    xml += "    <unit>cm</unit>\n";
    xml += "    <pm_system>" + std::string(kNoPatternSystem) + "</pm_system>\n";
    return xml;
}

std::string BuildVit(const MeasuredFigure& figure, const std::vector<Measurement>& rows) {
    std::string xml = FileHead("vit", kVitVersion, figure);
    xml += "    <personal>\n";
    xml += "        <customer></customer>\n";
    xml += "        <birth-date>1800-01-01</birth-date>\n";  // the programs' own "not given"
    xml += "        <gender>" + Xml(figure.gender) + "</gender>\n";
    xml += "        <email></email>\n";
    xml += "    </personal>\n";
    xml += "    <body-measurements>\n";
    for (const Measurement& m : rows)
        xml += "        <m " + NameAttributes(m) + " value=\"" + m.value + "\"/>\n";
    xml += "    </body-measurements>\n</vit>\n";
    return xml;
}

// A range the measurement programs accept: the base on the grid of steps from min, the
// step dividing the range. Otherwise the figure alone.
FigureDimension Checked(const FigureDimension& d) {
    const bool single = d.min == d.max && d.base == d.min;
    const bool grid = d.step > 0 && d.min <= d.base && d.base <= d.max && (d.max - d.min) % d.step == 0 &&
                      (d.base - d.min) % d.step == 0;
    if (single || grid) return single ? FigureDimension{d.base, d.base, d.base, 0} : d;
    return {d.base, d.base, d.base, 0};
}

// A dimension value; `half` for a girth the program doubles (fullCircumference), so that it
// shows the figure's own girth.
std::string DimensionValue(int value, bool half) {
    if (!half) return std::to_string(value);
    return std::to_string(value / 2) + (value % 2 != 0 ? ".5" : "");
}

std::string DimensionElement(char type, const FigureDimension& dimension, bool half = false) {
    const FigureDimension d = Checked(dimension);
    return std::string("        <dimension type=\"") + type + "\" base=\"" + DimensionValue(d.base, half) +
           "\" min=\"" + DimensionValue(d.min, half) + "\" max=\"" + DimensionValue(d.max, half) + "\" step=\"" +
           DimensionValue(d.step, half) + "\" measurement=\"true\"/>\n";
}

std::string BuildVst(const MeasuredFigure& figure, const std::vector<Measurement>& rows) {
    std::string xml = FileHead("vst", kVstVersion, figure);
    // Men and women count sizes in half the chest girth, children in the whole girth. Where
    // the circumference is full the program doubles every girth dimension it is given: a
    // child's chest goes in as its half, and shows as the chest itself.
    const bool full = !figure.halfChest;
    xml += std::string("    <dimensions fullCircumference=\"") + (full ? "true" : "false") + "\">\n";
    xml += DimensionElement('x', figure.height);
    xml += DimensionElement('y', figure.size, full);
    xml += "    </dimensions>\n";
    xml += "    <restrictions></restrictions>\n";
    xml += "    <body-measurements>\n";
    for (const Measurement& m : rows)
        xml += "        <m " + NameAttributes(m) + " base=\"" + m.value + "\" shiftA=\"" + m.heightIncrement +
               "\" shiftB=\"" + m.sizeIncrement + "\"/>\n";
    xml += "    </body-measurements>\n</vst>\n";
    return xml;
}

// A feature number as a JSON number where it is one ("16"), as a string otherwise ("34а").
std::string JsonNumber(const std::string& number) {
    const bool digits = !number.empty() && number.find_first_not_of("0123456789") == std::string::npos &&
                        (number.size() == 1 || number[0] != '0');
    return digits ? number : platform::JsonString(number);
}

std::string BuildJson(const MeasuredFigure& figure, const std::vector<Measurement>& rows) {
    std::string json = "{\n  \"group\": " + platform::JsonString(figure.group) + ",\n";
    json += "  \"age_group\": " + (figure.ageGroup.empty() ? std::string("null") : platform::JsonString(figure.ageGroup)) + ",\n";
    json += "  \"leading_dimensions\": {";
    for (std::size_t i = 0; i < figure.leading.size(); ++i)
        json += (i ? ", " : "") + platform::JsonString(figure.leading[i].first) + ": " + std::to_string(figure.leading[i].second);
    json += "},\n  \"unit\": \"cm\",\n  \"features\": [";
    bool first = true;
    for (const Measurement& m : rows) {
        if (m.scaled != 0) continue;  // the other forms are the programs' names, no features
        json += first ? "\n    " : ",\n    ";
        first = false;
        json += "{\"number\": " + JsonNumber(m.number) + ", \"name\": " + platform::JsonString(m.title) +
                ", \"measurement\": " + platform::JsonString(m.name) + ", \"value\": " + m.value +
                ", \"height_increment\": " + m.heightIncrement + ", \"size_increment\": " + m.sizeIncrement +
                ", \"edited\": " + (m.edited ? "true" : "false") + "}";
    }
    json += rows.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return json;
}

}  // namespace

std::string DecimalText(std::string_view text) {
    text = Trimmed(text);
    std::string sign;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        if (text[0] == '-') sign = "-";
        text.remove_prefix(1);
    }
    const auto mark = text.find_first_of(".,");
    std::string_view whole = text.substr(0, mark);
    const std::string_view fraction = mark == std::string_view::npos ? std::string_view() : text.substr(mark + 1);
    const auto isDigits = [](std::string_view s) { return s.find_first_not_of("0123456789") == std::string_view::npos; };
    if ((whole.empty() && fraction.empty()) || !isDigits(whole) || !isDigits(fraction)) return {};
    while (whole.size() > 1 && whole[0] == '0') whole.remove_prefix(1);
    std::string decimal = sign + (whole.empty() ? std::string("0") : std::string(whole));
    if (!fraction.empty()) decimal += "." + std::string(fraction);
    return decimal;
}

bool BuildMeasurementFile(MeasurementFormat format, const MeasuredFigure& figure, const ResultTable& table,
                          std::string& bytes, std::string& message) {
    std::vector<Measurement> rows;
    if (!Collect(figure, table, rows, message)) return false;
    switch (format) {
        case MeasurementFormat::Vit: bytes = BuildVit(figure, rows); break;
        case MeasurementFormat::Vst: bytes = BuildVst(figure, rows); break;
        case MeasurementFormat::Json: bytes = BuildJson(figure, rows); break;
    }
    return true;
}

bool WriteMeasurementFile(const std::string& path, MeasurementFormat format, const MeasuredFigure& figure,
                          const ResultTable& table, std::string& message) {
    std::string bytes;
    return BuildMeasurementFile(format, figure, table, bytes, message) && WriteWholeFile(path, bytes, message);
}

}  // namespace kelvo::results
