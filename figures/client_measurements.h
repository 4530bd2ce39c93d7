#pragma once
// A client's individual measurements file (.vit, any version the pattern-making programs
// write) read as a person's measurements for the nearest-figure search of a group: the
// programs' names mapped back to the group's feature numbers through the name table, a full
// or a half girth alike, kelvo's own "@T<number>" by its number. Not a general XML reader:
// it takes the file's unit and its `m` elements, and nothing else the file holds.

#include <string>
#include <string_view>
#include <vector>

#include "figures/group_registry.h"
#include "figures/nearest_figure.h"

namespace kelvo::figures {

struct ClientMeasurements {
    PersonMeasurements person;    // in cm; the leading dimensions as the lists give them (whole girths)
    std::vector<std::string> lacking;  // the leading dimensions the file has no value of: "T1", "T16", "T19"
    int taken = 0;                // measurements that gave a value
    int ignored = 0;              // of no feature of the group, not a number, or 0 ("not measured")
};

// Reads `bytes`, the file's whole text; false with a message (Windows-1251) when it is no
// individual measurements file or its unit is unknown.
bool ReadClientMeasurements(std::string_view bytes, const GroupEntry& group, ClientMeasurements& read,
                            std::string& message);

}  // namespace kelvo::figures
