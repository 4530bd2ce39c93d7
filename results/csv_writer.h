#pragma once
// CSV lines as RFC 4180 writes them, in either dialect: every CSV that kelvo writes goes
// through this one writer.

#include <string>
#include <string_view>

namespace kelvo::results {

enum class CsvDialect {
    Spreadsheet,  // ";" between fields and "," as decimal mark: what a Russian locale expects
    Rfc4180,      // "," between fields and "." as decimal mark
};

// A table field without the blanks dBASE pads it with (numbers lead, names trail).
std::string_view Unpadded(std::string_view text);

// Appends fields and line ends to `out`, in UTF-8.
class CsvWriter {
public:
    CsvWriter(std::string& out, CsvDialect dialect);

    // One field, Windows-1251, quoted when it holds the separator, a quote or a line break.
    void Field(std::string_view ansi);
    // A number as the list shows it ("42.5"), with the dialect's decimal mark.
    void Value(std::string value);
    // CR LF, as RFC 4180 ends a line.
    void EndLine();

private:
    std::string& out_;
    const char separator_;
    const char decimalMark_;
    bool lineStarted_ = false;
};

}  // namespace kelvo::results
