#pragma once
// The restore checklist: the inventory turned into the ordered steps of a
// move to a new Mac. Pure functions of their arguments and the built-in
// known-apps table; touch no file; callable from any thread.
#include <string>
#include <string_view>
#include <vector>

#include "kit/movingday/ChecklistItem.h"
#include "kit/movingday/InventoryEntry.h"

namespace larkvale::Checklist {

// Host names of the links the checklist offers.
inline constexpr std::string_view kHomebrewHost = "brew.sh";

// The seven section titles in display order (built once, thread-safe).
const std::vector<std::string>& sections();

// The whole checklist for entries given in display order. Apple's own apps
// get no steps; two entries with one bundle identifier give items with one id.
std::vector<ChecklistItem> items(const std::vector<InventoryEntry>& entries);

// The entries' app names for a title: all of them joined by ", " up to four;
// from five on, the first four and " and N more".
std::string nameList(const std::vector<InventoryEntry>& entries);

}  // namespace larkvale::Checklist
