#pragma once
// What the value edit may store in a row: a number as every reader of table.txt takes it.

#include <string>
#include <string_view>

namespace kelvo::results {

// A typed value as the row stores it: an optional sign, digits and at most one decimal
// separator, '.' or ','; blanks around it dropped and a comma made a point. False when
// the text is no such number (empty, letters, two separators, a sign alone).
bool StoredValue(std::string_view typed, std::string& stored);

}  // namespace kelvo::results
