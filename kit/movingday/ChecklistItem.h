#pragma once
// One step of the restore checklist. Identified by `id`, which stays the
// same when the inventory is rebuilt, so a user's ticks (kept by id in the
// saved state) survive. A plain value; any thread may read or copy it.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "kit/movingday/DocText.h"
#include "platform/Json.h"

namespace larkvale {

struct ChecklistItem {
  std::string id;
  std::string section;  // one of Checklist::sections()
  std::string title;
  std::optional<std::string> detail;   // may hold several lines split by "\n"
  std::optional<std::string> command;  // to type into Terminal
  std::optional<std::string> link;     // an absolute web or App Store address
  // title and detail as made, with what came from outside marked, for the
  // exported document: title is Doc::plain(titleText), detail the plain
  // lines joined by "\n" (nothing when there are none).
  DocText titleText;
  std::vector<DocText> detailLines;

  friend bool operator==(const ChecklistItem&, const ChecklistItem&) = default;
};

// An object keyed by the field names; empty optionals are left out. id,
// section and title are required on reading; link must read as a URL. The
// marked texts are not written; on reading, title and each line of detail
// count as outside text on one line.
Json toJson(const ChecklistItem& item);
template <>
ChecklistItem fromJson<ChecklistItem>(const JsonIn& in);

}  // namespace larkvale

template <>
struct std::hash<larkvale::ChecklistItem> {
  size_t operator()(const larkvale::ChecklistItem& item) const noexcept;
};
