#pragma once
// One step of the restore checklist. Identified by `id`, which stays the
// same when the inventory is rebuilt, so a user's ticks (kept by id in the
// saved state) survive. A plain value; any thread may read or copy it.
#include <functional>
#include <optional>
#include <string>

#include "platform/Json.h"

namespace larkvale {

struct ChecklistItem {
  std::string id;
  std::string section;  // one of Checklist::sections()
  std::string title;
  std::optional<std::string> detail;   // may hold several lines split by "\n"
  std::optional<std::string> command;  // to type into Terminal
  std::optional<std::string> link;     // an absolute web or App Store address

  friend bool operator==(const ChecklistItem&, const ChecklistItem&) = default;
};

// An object keyed by the field names; empty optionals are left out. id,
// section and title are required on reading; link must read as a URL.
Json toJson(const ChecklistItem& item);
template <>
ChecklistItem fromJson<ChecklistItem>(const JsonIn& in);

}  // namespace larkvale

template <>
struct std::hash<larkvale::ChecklistItem> {
  size_t operator()(const larkvale::ChecklistItem& item) const noexcept;
};
