#include "kit/model/AppState.h"

#include <algorithm>

#include "kit/model/Version.h"
#include "platform/Collation.h"

namespace larkvale {
namespace {

// The list text of the summary: "A", "A and B", "A, B and C", "A, B, C and 2 more".
std::string joinNames(const std::vector<AppUpdate>& sorted) {
  size_t n = sorted.size();
  size_t shown = std::min<size_t>(n, 3);
  std::string text;
  for (size_t i = 0; i < shown; ++i) {
    if (i > 0) text += (i + 1 == shown && n <= 3) ? " and " : ", ";
    text += sorted[i].app.name;
  }
  if (n > 3) text += " and " + std::to_string(n - 3) + " more";
  return text;
}

template <typename T>
Json mapToJson(const std::map<std::string, T>& map) {
  Json obj = Json::object();
  for (const auto& [key, value] : map) {
    if constexpr (std::is_same_v<T, std::string>) {
      obj[key] = value;
    } else {
      obj[key] = toJson(value);
    }
  }
  return obj;
}

}  // namespace

AppState::Effective AppState::effective(const AppUpdate& update) const {
  if (holds.contains(update.app.bundleID)) return Effective::held;
  switch (update.status.kind()) {
    case UpdateStatus::Kind::noSource:
      return Effective::noSource;
    case UpdateStatus::Kind::upToDate:
      return Effective::current;
    case UpdateStatus::Kind::notChecked:
      return Effective::notChecked;
    case UpdateStatus::Kind::updateAvailable:
      break;
  }
  auto skip = skipped.find(update.app.bundleID);
  if (skip != skipped.end() && update.latestVersion &&
      Version::compare(*update.latestVersion, skip->second) < 1) {
    return Effective::skipped;
  }
  return Effective::update;
}

std::vector<AppUpdate> AppState::actionableUpdates(const std::vector<AppUpdate>& updates) const {
  std::vector<AppUpdate> waiting;
  for (const AppUpdate& u : updates) {
    if (effective(u) == Effective::update) waiting.push_back(u);
  }
  return waiting;
}

void AppState::skip(const AppUpdate& update) {
  if (update.latestVersion) skipped[update.app.bundleID] = *update.latestVersion;
}

void AppState::record(const CheckReport& report) {
  std::map<std::string, std::string> seen;
  std::vector<HistoryEntry> risen;  // in report order; goes in front reversed
  for (const AppUpdate& u : report.updates) {
    const std::string& id = u.app.bundleID;
    const std::string& version = u.app.version;
    seen[id] = version;
    auto before = lastVersions.find(id);
    if (before == lastVersions.end() || Version::compare(version, before->second) != 1) continue;
    risen.push_back(HistoryEntry{report.date, u.app.name, id, before->second, version,
                                 std::string(u.source.label())});
    auto skip = skipped.find(id);
    if (skip != skipped.end() && Version::compare(version, skip->second) >= 0) skipped.erase(skip);
  }
  history.insert(history.begin(), risen.rbegin(), risen.rend());
  for (auto& [id, version] : seen) lastVersions[id] = std::move(version);
  if (history.size() > kHistoryLimit) history.resize(kHistoryLimit);
  lastReport = report;
}

std::optional<AppState::WeeklySummary> AppState::weeklyNoticeText() const {
  std::vector<AppUpdate> waiting =
      actionableUpdates(lastReport ? lastReport->updates : std::vector<AppUpdate>{});
  if (waiting.empty()) return std::nullopt;
  std::stable_sort(waiting.begin(), waiting.end(), [](const AppUpdate& a, const AppUpdate& b) {
    if (a.critical != b.critical) return a.critical;
    return Collation::less(a.app.name, b.app.name);
  });
  size_t n = waiting.size();
  bool anyCritical = waiting.front().critical;
  WeeklySummary summary;
  summary.title = std::to_string(n) + " update" + (n == 1 ? "" : "s") + " waiting";
  summary.body = joinNames(waiting) + ".";
  if (anyCritical) summary.body += " One is marked important.";
  summary.body += " Open Larkvale to hand them to their updaters.";
  return summary;
}

bool AppState::isDailyCheckDue(Date now) const {
  // Compared as dates: the difference of two far-apart dates overflows the
  // clock's nanosecond count.
  return settings.dailyCheck && lastReport && lastReport->date <= now - kDailyInterval;
}

bool AppState::isWeeklyNoticeDue(Date now) const {
  return settings.weeklyNotice && weeklyNoticeLast && *weeklyNoticeLast <= now - kWeeklyInterval;
}

void AppState::setWeeklyNotice(bool on, Date now) {
  settings.weeklyNotice = on;
  weeklyNoticeLast = on ? std::optional<Date>(now) : std::nullopt;
}

Json toJson(const AppState& state) {
  Json history = Json::array();
  for (const HistoryEntry& e : state.history) history.push_back(toJson(e));
  Json obj = {{"skipped", mapToJson(state.skipped)},
              {"holds", mapToJson(state.holds)},
              {"history", std::move(history)},
              {"lastVersions", mapToJson(state.lastVersions)},
              {"ticked", state.ticked},
              {"settings", toJson(state.settings)}};
  if (state.lastReport) obj["lastReport"] = toJson(*state.lastReport);
  JsonCoding::putOptional(obj, "weeklyNoticeLast", state.weeklyNoticeLast);
  return obj;
}

template <>
AppState fromJson<AppState>(const JsonIn& in) {
  auto string = [](const JsonIn& v) { return v.string(); };
  AppState state;
  in.requireObject();
  if (auto v = in.find("lastReport")) state.lastReport = fromJson<CheckReport>(*v);
  if (auto v = in.find("skipped")) state.skipped = v->map(string);
  if (auto v = in.find("holds"))
    state.holds = v->map([](const JsonIn& h) { return fromJson<Hold>(h); });
  if (auto v = in.find("history"))
    state.history = v->array([](const JsonIn& e) { return fromJson<HistoryEntry>(e); });
  if (auto v = in.find("lastVersions")) state.lastVersions = v->map(string);
  if (auto v = in.find("ticked")) {
    auto items = v->array(string);
    state.ticked = std::set<std::string>(items.begin(), items.end());
  }
  if (auto v = in.find("settings")) state.settings = fromJson<Settings>(*v);
  state.weeklyNoticeLast = in.optionalDate("weeklyNoticeLast");
  return state;
}

}  // namespace larkvale
