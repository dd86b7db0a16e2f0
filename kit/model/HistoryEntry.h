#pragma once
// One entry of the version history kept in the saved state. A plain value;
// any thread may read or copy it.
#include <functional>
#include <string>

#include "platform/Dates.h"
#include "platform/Json.h"

namespace larkvale {

// One version rise seen by a check.
struct HistoryEntry {
  Date date;         // the date of the report that saw the rise
  std::string name;  // the app's name at that check
  std::string bundleID;
  std::string from;    // the version seen at the check before
  std::string to;      // the version seen now
  std::string source;  // the label of the update's source, e.g. "Sparkle feed"

  // bundleID "|" to "|" the date as seconds since 1970 in the shortest
  // decimal that reads back as the same double, with ".0" kept for whole
  // seconds ("com.a|2.0|1700000000.0"). Entries for the same app, version
  // and instant share an id.
  std::string id() const;

  friend bool operator==(const HistoryEntry&, const HistoryEntry&) = default;
};

// All six keys are required on reading.
Json toJson(const HistoryEntry& entry);
template <>
HistoryEntry fromJson<HistoryEntry>(const JsonIn& in);

}  // namespace larkvale

template <>
struct std::hash<larkvale::HistoryEntry> {
  size_t operator()(const larkvale::HistoryEntry& e) const noexcept;
};
