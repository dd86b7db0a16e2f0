#pragma once
// The one document kept between runs, and the rules every other part reads
// from it: how an update is placed in a list, which updates are waiting,
// skipping, recording a finished check, the weekly summary and the due tests.
//
// A plain value without locks. Every operation is a pure function of the
// state and its arguments (the current time is always passed in); none
// fails, touches a file or starts a thread. The application model owns the
// live copy on its thread and hands copies to others.
#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "kit/model/AppUpdate.h"
#include "kit/model/CheckReport.h"
#include "kit/model/HistoryEntry.h"
#include "kit/model/Settings.h"
#include "platform/Dates.h"
#include "platform/Json.h"

namespace larkvale {

struct AppState {
  // How one update is placed in a list. std::hash covers it as an enumeration.
  enum class Effective { update, skipped, held, current, notChecked, noSource };

  struct WeeklySummary {
    std::string title;
    std::string body;
    friend bool operator==(const WeeklySummary&, const WeeklySummary&) = default;
  };

  static constexpr size_t kHistoryLimit = 300;
  static constexpr std::chrono::seconds kDailyInterval{86400};
  static constexpr std::chrono::seconds kWeeklyInterval{604800};

  std::optional<CheckReport> lastReport;
  std::map<std::string, std::string> skipped;       // bundle id → skipped version
  std::map<std::string, Hold> holds;                // bundle id → hold
  std::vector<HistoryEntry> history;                // newest first
  std::map<std::string, std::string> lastVersions;  // bundle id → version at the last check
  std::set<std::string> ticked;                     // ticked restore-checklist item ids
  Settings settings;
  std::optional<Date> weeklyNoticeLast;

  // Held first, then by status; an available update is skipped when its
  // latest version is known and not newer than the skipped one.
  Effective effective(const AppUpdate& update) const;

  // The updates that count as waiting (effective() gives update), in order.
  std::vector<AppUpdate> actionableUpdates(const std::vector<AppUpdate>& updates) const;

  // Skips the update's latest version; nothing without one.
  void skip(const AppUpdate& update);

  // Records a finished check: a history entry for every app whose installed
  // version rose since the last check (the check's entries in reverse report
  // order ahead of older ones), a skip removed once such a rise reaches it,
  // the versions seen merged into lastVersions, history cut to 300 entries,
  // and the report kept as lastReport.
  void record(const CheckReport& report);

  // The weekly notification, or nothing when no update is waiting.
  std::optional<WeeklySummary> weeklyNoticeText() const;

  bool isDailyCheckDue(Date now) const;
  bool isWeeklyNoticeDue(Date now) const;

  // Switching on starts the week now; switching off forgets the date.
  void setWeeklyNotice(bool on, Date now);

  friend bool operator==(const AppState&, const AppState&) = default;
};

// The state file's object. Reading is tolerant key by key: a missing or null
// key keeps its default, while a present value that doesn't read as its type
// fails the whole document.
Json toJson(const AppState& state);
template <>
AppState fromJson<AppState>(const JsonIn& in);

}  // namespace larkvale
