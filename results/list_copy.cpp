#include "results/list_copy.h"

#include "results/column_captions.h"

namespace kelvo::results {
namespace {

constexpr int kShownCells = 5;

std::string_view Unpadded(std::string_view cell) {
    while (!cell.empty() && cell.front() == ' ') cell.remove_prefix(1);
    while (!cell.empty() && cell.back() == ' ') cell.remove_suffix(1);
    return cell;
}

void AppendLine(std::string& text, const std::string_view (&cells)[kShownCells]) {
    for (int column = 0; column < kShownCells; ++column) {
        if (column > 0) text += '\t';
        for (const char c : Unpadded(cells[column])) text += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    }
    text += "\r\n";
}

void AppendRow(std::string& text, const ResultRow& row) {
    const std::string_view cells[kShownCells] = {row.cells[0], row.cells[1], row.cells[2], row.cells[3],
                                                 row.cells[4]};
    AppendLine(text, cells);
}

// A Windows-1251 sign as the search compares it: capitals as small letters, Ё and ё as е.
unsigned char Folded(char sign) {
    const auto c = static_cast<unsigned char>(sign);
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDF) return static_cast<unsigned char>(c + 32);  // А..Я
    if (c == 0xA8 || c == 0xB8) return 0xE5;                                // Ё, ё
    return c;
}

bool Holds(std::string_view cell, std::string_view text) {
    if (text.size() > cell.size()) return false;
    for (std::size_t at = 0; at + text.size() <= cell.size(); ++at) {
        std::size_t i = 0;
        while (i < text.size() && Folded(cell[at + i]) == Folded(text[i])) ++i;
        if (i == text.size()) return true;
    }
    return false;
}

}  // namespace

std::string CopiedRows(const ResultTable& table, std::span<const int> items) {
    std::string text;
    for (const int item : items)
        if (item >= 0 && item < table.GetSize()) AppendRow(text, table[item]);
    return text;
}

std::string CopiedList(const ResultTable& table) {
    const std::string_view captions[kShownCells] = {kNumberCaption, kNameCaption, kValueCaption, kPerHeightCaption,
                                                    kPerSizeCaption};
    std::string text;
    AppendLine(text, captions);
    for (int item = 0; item < table.GetSize(); ++item) AppendRow(text, table[item]);
    return text;
}

int FindRow(const ResultTable& table, std::string_view text, int from, bool backwards) {
    const int rows = table.GetSize();
    if (text.empty() || rows == 0) return -1;
    if (from < -1 || from >= rows) from = -1;
    int item = from;
    for (int step = 0; step < rows; ++step) {
        if (backwards) item = item <= 0 ? rows - 1 : item - 1;
        else item = item + 1 >= rows ? 0 : item + 1;
        const ResultRow& row = table[item];
        if (Holds(Unpadded(row.cells[0]), text) || Holds(row.cells[1], text)) return item;
    }
    return -1;
}

}  // namespace kelvo::results
