#include "results/value_input.h"

namespace kelvo::results {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool StoredValue(std::string_view typed, std::string& stored) {
    while (!typed.empty() && IsBlank(typed.front())) typed.remove_prefix(1);
    while (!typed.empty() && IsBlank(typed.back())) typed.remove_suffix(1);
    std::string number;
    std::size_t i = 0;
    if (i < typed.size() && (typed[i] == '+' || typed[i] == '-')) number += typed[i++];
    bool separator = false;
    bool digit = false;
    for (; i < typed.size(); ++i) {
        const char c = typed[i];
        if (c >= '0' && c <= '9') {
            digit = true;
            number += c;
        } else if ((c == '.' || c == ',') && !separator) {
            separator = true;
            // Every program that reads table.txt expects a point.
            number += '.';
        } else {
            return false;
        }
    }
    if (!digit) return false;
    stored = std::move(number);
    return true;
}

}  // namespace kelvo::results
